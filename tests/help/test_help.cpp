// The help window and the About box as the operator meets them: the
// considerations loaded or the failure reported, the resize rule, the keys
// that close the About box.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "help/acercade.h"
#include "help/ayuda.h"
#include "ui/messagebox.h"
#include "ui/modal.h"

namespace {

class HelpTest : public ::testing::Test {
protected:
    void TearDown() override { ui::MessageBoxService::install(std::move(previous)); }
    QString write(const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }

    QTemporaryDir dir;
    ui::ScriptedMessageBoxes* boxes = new ui::ScriptedMessageBoxes;
    std::unique_ptr<ui::MessageBoxService> previous =
        ui::MessageBoxService::install(std::unique_ptr<ui::ScriptedMessageBoxes>(boxes));
};

TEST_F(HelpTest, ConsiderationsShownWhateverTheirFormAndAMissingFileReported) {
    const struct {
        const char* file;
        QByteArray bytes;
        const char* shown;
    } cases[] = {
        {"utf8.txt", "CONSIDERACIONES GENERALES\nLa solicitud se llenar\xc3\xa1 con may\xc3\xbasculas.\n",
         "CONSIDERACIONES GENERALES\nLa solicitud se llenará con mayúsculas.\n"},
        {"rich.txt",
         "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\qc\\b Consideraciones\\b0\\par\\pard Anexo "
         "\\'fanico\\par}",
         "Consideraciones\nAnexo único\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        help::frmayuda w(write(c.file, c.bytes));
        EXPECT_EQ(w.RTUltima->toPlainText(), QString::fromUtf8(c.shown));
    }
    EXPECT_TRUE(boxes->shown().empty());
    help::frmayuda w(dir.filePath(QStringLiteral("considera.txt")));
    ASSERT_EQ(boxes->shown().size(), 1u);
    const ui::ShownBox& box = boxes->shown()[0];
    EXPECT_EQ(box.text, QStringLiteral("No existe el archivo o la carpeta."));  // the system's text, in Spanish
    EXPECT_EQ(box.title, ui::applicationTitle());
    EXPECT_TRUE(box.icon == ui::Icon::None && box.buttons == ui::Buttons::Ok);
    EXPECT_TRUE(w.RTUltima->toPlainText().isEmpty());
    w.show();  // the window stays open
    EXPECT_TRUE(w.isVisible());
}

// Its own window beside its owner; the resize rule; closed from the keyboard.
TEST_F(HelpTest, HelpWindowResizesAndClosesWithCerrar) {
    // Sizes in twips: window inner area -> text box and button top.
    const struct {
        const char* what;
        int w, h, boxW, boxH, buttonTop;
    } cases[] = {
        {"opening size", 7500, 6060, 7300, 5060, 5360},
        {"narrower and shorter", 3000, 2400, 2800, 1400, 1700},
        {"smaller than the margins", 150, 600, 0, 0, 0},
    };
    QWidget owner;
    auto& w = *new help::frmayuda(write("c.txt", "texto"), &owner);
    EXPECT_TRUE(w.isWindow() && w.windowModality() == Qt::NonModal);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Consideraciones para el llenado de la Solicitud"));
    w.show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        w.resize(w.twipsToPixelsX(c.w), w.twipsToPixelsY(c.h));
        QCoreApplication::processEvents();
        ASSERT_EQ(w.width(), w.twipsToPixelsX(c.w));  // the platform gave the size asked for
        EXPECT_EQ(w.RTUltima->geometry(), QRect(w.twipsToPixelsX(100), w.twipsToPixelsY(100), w.twipsToPixelsX(c.boxW),
                                                w.twipsToPixelsY(c.boxH)));
        EXPECT_EQ(w.Command2->geometry(), QRect(w.twipsToPixelsX(5880), w.twipsToPixelsY(c.buttonTop),
                                                w.twipsToPixelsX(1215), w.twipsToPixelsY(375)));
        // The text wraps 400 twips inside the box, or at its edge when there is no room.
        EXPECT_EQ(w.RTUltima->lineWrapMode(), c.boxW > 400 ? QTextEdit::FixedPixelWidth : QTextEdit::WidgetWidth);
        if (c.boxW > 400) {
            EXPECT_EQ(w.RTUltima->lineWrapColumnOrWidth(), w.twipsToPixelsX(c.boxW - 400));
        }
    }
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    // The text takes no typing, Tab leaves it for "&Cerrar", Space presses that.
    w.RTUltima->setFocus();
    QTest::keyClicks(w.RTUltima, QStringLiteral("xy"));
    EXPECT_EQ(w.RTUltima->toPlainText(), QStringLiteral("texto"));
    QTest::keyClick(w.RTUltima, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w.Command2);
    QTest::keyClick(w.Command2, Qt::Key_Space);
    EXPECT_FALSE(w.isVisible());
}

// The window layer's dialog keys, on a window with a second button: Enter
// (keypad Enter too) presses the focused button, else the default one; Escape
// the cancel one. The About box's one button is both (its Escape is below).
TEST(DialogKeys, EnterPressesTheFocusedButtonElseTheDefault) {
    using ui::Kind;
    static const ui::ControlSpec controls[] = {
        {.name = "txtNota", .kind = Kind::TextBox, .tab = 0, .width = 2000, .height = 300},
        {.name = "cmdOtro", .kind = Kind::Button, .caption = "&Otro", .tab = 1, .width = 1000, .height = 345},
        {.name = "cmdOK",
         .kind = Kind::Button,
         .caption = "OK",
         .tab = 2,
         .width = 1000,
         .height = 345,
         .isDefault = true},
        {.name = "cmdCancel",
         .kind = Kind::Button,
         .caption = "Cancelar",
         .tab = 3,
         .width = 1000,
         .height = 345,
         .isCancel = true},
    };
    static const ui::WindowLayout layout = {"frmTeclas", "Teclas", 4000, 1000, controls, 4};
    const struct {
        const char* focus;
        Qt::Key key;
        const char* pressed;
    } cases[] = {
        {"txtNota", Qt::Key_Return, "cmdOK"},
        {"txtNota", Qt::Key_Enter, "cmdOK"},
        {"cmdOtro", Qt::Key_Return, "cmdOtro"},
        {"txtNota", Qt::Key_Escape, "cmdCancel"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.focus) + " " + std::to_string(c.key));
        ui::FormWindow w(layout);
        w.show();
        QStringList pressed;
        for (const char* name : {"cmdOtro", "cmdOK", "cmdCancel"})
            QObject::connect(w.as<QPushButton>(QString::fromLatin1(name)), &QPushButton::clicked,
                             [&pressed, name] { pressed << QString::fromLatin1(name); });
        w.control(QString::fromLatin1(c.focus))->setFocus();
        QTest::keyClick(w.control(QString::fromLatin1(c.focus)), c.key,
                        c.key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        EXPECT_EQ(pressed, QStringList{QString::fromLatin1(c.pressed)});
    }
    EXPECT_TRUE(ui::FormWindow(layout).as<QPushButton>(QStringLiteral("cmdOK"))->isDefault());
    for (auto [caption, read] :
         {std::pair{"&Cerrar", "Cerrar"}, {"A && B", "A & B"}, {"Fin&", "Fin"}, {"A N E X O S", "A N E X O S"}})
        EXPECT_EQ(ui::withoutMnemonic(QString::fromUtf8(caption)), QString::fromUtf8(read));
}

TEST(About, SaysTitleVersionAndOfficeCentredOnItsOwnerAndEndsTheModalWait) {
    QWidget owner;
    owner.setGeometry(200, 150, 900, 700);
    owner.show();
    help::frmAbout about(&owner);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Acerca de"));
    EXPECT_EQ(about.lblTitle->text(), QStringLiteral("Disco de Captura para solicitudes ZELTAR"));
    EXPECT_EQ(about.lblVersion->text(), QStringLiteral("Version 3.0.0"));
    const QString office = about.as<QLabel>(QStringLiteral("lblDescription"))->text();
    EXPECT_TRUE(office.startsWith(QStringLiteral("Secretaría de Quentaria\n")));
    EXPECT_GE(office.count(u'\n'), 2);  // directorate and unit on their own lines
    EXPECT_TRUE(
        about.as<QLabel>(QStringLiteral("lblDisclaimer"))->text().startsWith(QStringLiteral("Dudas y Comentarios\n")));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());  // fixed, with no minimize or maximize button
    EXPECT_FALSE(about.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    // The version is set at run time; a screen reader must read that, not the table's caption.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(about.lblVersion)->text(QAccessible::Name),
              about.lblVersion->text());
    bool escaped = false, rescued = false;
    QTimer::singleShot(0, &about, [&] {
        escaped = true;
        EXPECT_LE((about.geometry().center() - owner.geometry().center()).manhattanLength(), 2);
        QTest::keyClick(about.cmdOK, Qt::Key_Escape);
    });
    QTimer::singleShot(5000, &about, [&] {
        rescued = true;
        about.close();
    });  // a broken key must not hang the run
    ui::showModal(&about);
    EXPECT_TRUE(escaped && !rescued && !about.isVisible());
}

}  // namespace
