// The help window and the About box as the operator meets them.
#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

#include "help/acercade.h"
#include "help/ayuda.h"
#include "support/test_support.h"
#include "ui/modal.h"

namespace {

using testsupport::writeFile;

TEST(Help, ConsiderationsShownOrAMissingFileReported) {
    QTemporaryDir dir;
    testsupport::ScriptedBoxes boxes;
    help::frmayuda shown(writeFile(
        dir.filePath(QStringLiteral("c.txt")),
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\qc\\b Consideraciones\\b0\\par\\pard Anexo \\'fanico\\par}"));
    EXPECT_EQ(shown.RTUltima->toPlainText(), QStringLiteral("Consideraciones\nAnexo único\n"));
    EXPECT_TRUE(boxes->shown().empty());
    help::frmayuda w(dir.filePath(QStringLiteral("considera.txt")));
    ASSERT_EQ(boxes->shown().size(), 1u);
    const ui::ShownBox& box = boxes->shown()[0];
    EXPECT_EQ(box.text, QStringLiteral("No existe el archivo o la carpeta."));
    EXPECT_TRUE(box.title == ui::applicationTitle() && box.icon == ui::Icon::None && box.buttons == ui::Buttons::Ok);
    EXPECT_TRUE(w.RTUltima->toPlainText().isEmpty());
}

// Its own window beside its owner; the resize rule; closed from the keyboard.
TEST(Help, HelpWindowResizesAndClosesWithCerrar) {
    // Sizes in twips: window inner area -> text box and button top.
    const struct { int w, h, boxW, boxH, buttonTop; } cases[] = {{7500, 6060, 7300, 5060, 5360}, {150, 600, 0, 0, 0}};
    QTemporaryDir dir;
    QWidget owner;
    auto& w = *new help::frmayuda(writeFile(dir.filePath(QStringLiteral("c.txt")), "texto"), &owner);
    EXPECT_TRUE(w.isWindow() && w.windowModality() == Qt::NonModal);
    w.show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.w);
        w.resize(w.twipsToPixelsX(c.w), w.twipsToPixelsY(c.h));
        QCoreApplication::processEvents();
        ASSERT_EQ(w.width(), w.twipsToPixelsX(c.w));  // the platform gave the size asked for
        EXPECT_EQ(w.RTUltima->geometry(), QRect(w.twipsToPixelsX(100), w.twipsToPixelsY(100), w.twipsToPixelsX(c.boxW),
                                                w.twipsToPixelsY(c.boxH)));
        EXPECT_EQ(w.Command2->geometry(), QRect(w.twipsToPixelsX(5880), w.twipsToPixelsY(c.buttonTop),
                                                w.twipsToPixelsX(1215), w.twipsToPixelsY(375)));
        // The text wraps 400 twips inside the box, or at its edge when there is no room.
        const bool inset = c.boxW > 400;
        EXPECT_EQ(w.RTUltima->lineWrapMode(), inset ? QTextEdit::FixedPixelWidth : QTextEdit::WidgetWidth);
        EXPECT_TRUE(!inset || w.RTUltima->lineWrapColumnOrWidth() == w.twipsToPixelsX(c.boxW - 400));
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

// Enter presses the focused button, else the default one (Escape: the About box below).
TEST(DialogKeys, EnterPressesTheFocusedButtonElseTheDefault) {
    using ui::Kind;
    static const ui::ControlSpec controls[] = {
        {.name = "txtNota", .kind = Kind::TextBox, .tab = 0, .width = 2000, .height = 300},
        {.name = "cmdOtro", .kind = Kind::Button, .caption = "&Otro", .tab = 1, .width = 1000, .height = 345},
        {.name = "cmdOK", .kind = Kind::Button, .caption = "OK", .tab = 2, .width = 1000, .isDefault = true},
    };
    static const ui::WindowLayout layout = {"frmTeclas", "Teclas", 4000, 1000, controls, 3};
    for (auto [focus, expected] : {std::pair{"txtNota", "cmdOK"}, {"cmdOtro", "cmdOtro"}}) {
        SCOPED_TRACE(focus);
        ui::FormWindow w(layout);
        w.show();
        QStringList pressed;
        for (const char* name : {"cmdOtro", "cmdOK"})
            QObject::connect(w.as<QPushButton>(QString::fromLatin1(name)), &QPushButton::clicked,
                             [&pressed, name] { pressed << QString::fromLatin1(name); });
        w.control(QString::fromLatin1(focus))->setFocus();
        QTest::keyClick(w.control(QString::fromLatin1(focus)), Qt::Key_Return);
        EXPECT_EQ(pressed, QStringList{QString::fromLatin1(expected)});
    }
    for (auto [caption, read] : {std::pair{"A && B", "A & B"}, {"Fin&", "Fin"}})  // "&Imprimir": the names' test
        EXPECT_EQ(ui::withoutMnemonic(QString::fromUtf8(caption)), QString::fromUtf8(read));
}

TEST(About, SaysTitleAndVersionCentredOnItsOwnerAndEndsTheModalWait) {
    QWidget owner;
    owner.setGeometry(200, 150, 900, 700);
    owner.show();
    help::frmAbout about(&owner);
    EXPECT_EQ(about.lblTitle->text(), QStringLiteral("Disco de Captura para solicitudes ZELTAR"));
    EXPECT_EQ(about.lblVersion->text(), QStringLiteral("Version 3.0.0"));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());  // fixed, with no minimize or maximize button
    EXPECT_FALSE(about.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    // Set at run time: a screen reader must read that, not the table's caption.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(about.lblVersion)->text(QAccessible::Name),
              about.lblVersion->text());
    QTimer::singleShot(5000, &about, [&] { about.close(); });  // a broken key must not hang the run
    testsupport::whileModal<help::frmAbout>(
        [&] { ui::showModal(&about); },
        [&](help::frmAbout& shown) {
            EXPECT_LE((shown.geometry().center() - owner.geometry().center()).manhattanLength(), 2);
            QTest::keyClick(shown.cmdOK, Qt::Key_Escape);
            EXPECT_FALSE(shown.isVisible());  // closed by Escape, not the rescue
        });
}

}  // namespace
