// The two services every window asks, message boxes and printing, and Qt's own texts in Spanish.
#include <QCommandLineParser>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QTranslator>

#include "support/test_support.h"
#include "ui/busy.h"
#include "ui/formwindow.h"
#include "ui/messagebox.h"
#include "ui/printing.h"
#include "ui/translation.h"

namespace {

// Every box is recorded as shown; questions take the queued answers (an OK
// box uses none), and a question with nothing queued gets the safe answer and
// is counted so the test can see it.
TEST(ScriptedBoxes, RecordsAnswersAndCountsUnexpectedQuestions) {
    testsupport::ScriptedBoxes boxes;
    for (ui::Answer a : {ui::Answer::Yes, ui::Answer::Cancel})
        boxes->queue(a);
    EXPECT_EQ(ui::message(nullptr, "a", "ATENCION", ui::Icon::None, ui::Buttons::YesNo), ui::Answer::Yes);
    EXPECT_EQ(ui::message(nullptr, "b"), ui::Answer::Ok);
    EXPECT_EQ(ui::message(nullptr, "c", "Error", ui::Icon::Critical, ui::Buttons::YesNoCancel), ui::Answer::Cancel);
    EXPECT_EQ(boxes->unexpected(), 0);
    EXPECT_EQ(ui::message(nullptr, "d", {}, ui::Icon::None, ui::Buttons::YesNo), ui::Answer::No);
    EXPECT_EQ(ui::message(nullptr, "e", {}, ui::Icon::None, ui::Buttons::OkCancel), ui::Answer::Cancel);
    EXPECT_EQ(boxes->unexpected(), 2);
    EXPECT_EQ(boxes->texts(), (QStringList{"a", "b", "c", "d", "e"}));
    const auto& shown = boxes->shown();
    EXPECT_EQ(shown[1].title, QStringLiteral("Disco de Captura para solicitudes ZELTAR"));  // no title given
    EXPECT_TRUE(shown[1].icon == ui::Icon::None && shown[1].buttons == ui::Buttons::Ok);
    EXPECT_TRUE(shown[2].title == "Error" && shown[2].icon == ui::Icon::Critical
                && shown[2].answer == ui::Answer::Cancel);
    EXPECT_EQ(shown[3].buttons, ui::Buttons::YesNo);
}

// The production service is a real QMessageBox: its title, text, icon and
// buttons are what screen readers get, and Enter and Escape answer it.
TEST(QtMessageBoxes, RealBoxWithTitleButtonsAndEscape) {
    const struct {
        ui::Buttons buttons;
        int key;
        ui::Answer expected;
        qsizetype buttonCount;
    } cases[] = {
        {ui::Buttons::Ok, Qt::Key_Escape, ui::Answer::Ok, 1},
        {ui::Buttons::OkCancel, Qt::Key_Escape, ui::Answer::Cancel, 2},
        {ui::Buttons::YesNo, Qt::Key_Escape, ui::Answer::No, 2},
        {ui::Buttons::YesNoCancel, Qt::Key_Escape, ui::Answer::Cancel, 3},
        {ui::Buttons::YesNo, Qt::Key_Return, ui::Answer::Yes, 2},
        {ui::Buttons::OkCancel, Qt::Key_Return, ui::Answer::Ok, 2},
    };
    for (const auto& c : cases) {
        const QString text = QStringLiteral("Salvar los datos antes de salir?");
        ui::BusyPointer busy;
        auto answer = [&](QMessageBox& box) {
            EXPECT_EQ(box.windowTitle(), ui::applicationTitle());
            EXPECT_TRUE(box.text() == text && box.icon() == QMessageBox::Critical);
            EXPECT_EQ(box.buttons().size(), c.buttonCount);
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);  // not the busy one
            QKeyEvent press(QEvent::KeyPress, c.key, Qt::NoModifier);
            QApplication::sendEvent(box.focusWidget() ? box.focusWidget() : &box, &press);
        };
        ui::Answer a{};
        testsupport::whileModal<QMessageBox>([&] { a = ui::message(nullptr, text, {}, ui::Icon::Critical, c.buttons); },
                                             answer);
        EXPECT_EQ(a, c.expected) << int(c.buttons) << " key " << c.key;
    }
}

// A box prints its selection, or everything when nothing is selected; the
// scripted service keeps what each printer got.
TEST(Printing, ABoxPrintsItsSelectionOrElseEverythingAndACancelGivesNoPrinter) {
    ui::ScriptedPrinting s;
    s.queue(ui::PrintAnswer::Print);
    auto printer = s.choosePrinter(nullptr, true);
    ASSERT_TRUE(printer);
    QTextEdit box;
    box.setPlainText(QStringLiteral("primera\nsegunda\ntercera"));
    EXPECT_TRUE(printer->print(box));
    QTextCursor c = box.document()->find(QStringLiteral("segunda"));
    box.setTextCursor(c);
    EXPECT_TRUE(printer->print(box));
    EXPECT_EQ(s.printed(), (std::vector<QStringList>{{"primera\nsegunda\ntercera", "segunda"}}));
#ifndef Q_OS_WIN
    // The real dialog offers no page range, not even after it enables one
    // again itself (as on a change of printer), and a cancel gives no printer.
    // (Windows shows its own print dialog, which a test cannot answer.)
    for (bool selection : {true, false}) {
        SCOPED_TRACE(selection);
        testsupport::whileModal<QPrintDialog>(
            [&] { EXPECT_FALSE(ui::PrintService::instance().choosePrinter(nullptr, selection)); },
            [&](QPrintDialog& dialog) {
                EXPECT_FALSE(dialog.testOption(QAbstractPrintDialog::PrintPageRange));
                EXPECT_EQ(dialog.testOption(QAbstractPrintDialog::PrintSelection), selection);
                EXPECT_EQ(dialog.printer()->printRange() == QPrinter::Selection, selection);
                auto* range = dialog.findChild<QRadioButton*>(QStringLiteral("printRange"));
                auto* mine = dialog.findChild<QRadioButton*>(QStringLiteral("printSelection"));
                ASSERT_TRUE(range && mine);
                range->setEnabled(true);
                EXPECT_FALSE(range->isEnabled());
                EXPECT_EQ(!mine->isHidden() && mine->isChecked(), selection);
                dialog.reject();
            });
    }
#endif
}

// Qt's own texts in Spanish, from the translation compiled into the program,
// whatever language the environment names (CTest also runs these with LANG=C).
class Spanish : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(translator, nullptr); }
    void TearDown() override {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    QTranslator* translator = ui::installSpanishTranslation();
};

// The buttons of every kind of box the program shows.
TEST_F(Spanish, MessageBoxesAnswerSiNoAceptarCancelar) {
    const struct {
        ui::Buttons buttons;
        QStringList texts;
    } cases[] = {
        {ui::Buttons::Ok, {"Aceptar"}},
        {ui::Buttons::OkCancel, {"Aceptar", "Cancelar"}},
        {ui::Buttons::YesNo, {"No", "Sí"}},
        {ui::Buttons::YesNoCancel, {"Cancelar", "No", "Sí"}},  // in sorted order
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.texts.join(' ').toStdString());
        QStringList shown;
        testsupport::whileModal<QMessageBox>(
            [&] { ui::message(nullptr, QStringLiteral("Desea borrar la solicitud?"), {}, ui::Icon::None, c.buttons); },
            [&](QMessageBox& box) {
                for (QAbstractButton* b : box.buttons())
                    shown << ui::withoutMnemonic(b->text());
                box.reject();
            });
        shown.sort();
        EXPECT_EQ(shown, c.texts);
    }
}

// The text boxes' context menu, the print dialog and the command line's help.
TEST_F(Spanish, ContextMenuPrintDialogAndCommandLine) {
    QTextEdit box;
    box.setPlainText(QStringLiteral("texto"));
    std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
    QStringList actions;
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            actions << ui::withoutMnemonic(a->text()).section(QLatin1Char('\t'), 0, 0);
    EXPECT_TRUE(actions.contains(QStringLiteral("Copiar")) && actions.contains(QStringLiteral("Pegar")))
        << actions.join(", ").toStdString();

    QPrinter printer;
    QPrintDialog dialog(&printer);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Imprimir"));

    QCommandLineParser parser;
    parser.addHelpOption();
    EXPECT_TRUE(parser.helpText().startsWith(QStringLiteral("Uso:"))) << parser.helpText().toStdString();
}

}  // namespace
