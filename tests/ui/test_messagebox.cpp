// The two services every window asks, message boxes and printing, and Qt's own texts in Spanish.
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

// Every box is recorded; a question with nothing queued gets the safe answer and is counted.
TEST(ScriptedBoxes, RecordsAnswersAndCountsUnexpectedQuestions) {
    testsupport::ScriptedBoxes boxes;
    boxes->queue(ui::Answer::Cancel);
    EXPECT_EQ(ui::message(nullptr, "a", "Error", ui::Icon::Critical, ui::Buttons::YesNoCancel), ui::Answer::Cancel);
    EXPECT_EQ(ui::message(nullptr, "b"), ui::Answer::Ok);  // an OK box takes no answer
    EXPECT_EQ(ui::message(nullptr, "c", {}, ui::Icon::None, ui::Buttons::YesNo), ui::Answer::No);
    EXPECT_EQ(ui::message(nullptr, "d", {}, ui::Icon::None, ui::Buttons::OkCancel), ui::Answer::Cancel);
    EXPECT_EQ(boxes->unexpected(), 2);
    const auto& shown = boxes->shown();
    EXPECT_TRUE(shown[0].title == "Error" && shown[0].icon == ui::Icon::Critical);
    EXPECT_TRUE(shown[1].title == ui::applicationTitle() && shown[1].buttons == ui::Buttons::Ok);
}

// A box prints its selection, or everything when nothing is selected.
TEST(Printing, ABoxPrintsItsSelectionOrElseEverythingAndACancelGivesNoPrinter) {
    ui::ScriptedPrinting s;
    s.queue(ui::PrintAnswer::Print);
    auto printer = s.choosePrinter(nullptr, true);
    ASSERT_TRUE(printer);
    QTextEdit box;
    box.setPlainText(QStringLiteral("primera\nsegunda\ntercera"));
    EXPECT_TRUE(printer->print(box));
    box.setTextCursor(box.document()->find(QStringLiteral("segunda")));
    EXPECT_TRUE(printer->print(box));
    EXPECT_EQ(s.printed(), (std::vector<QStringList>{{"primera\nsegunda\ntercera", "segunda"}}));
#ifndef Q_OS_WIN
    // No page range, even once the dialog enables one itself; a cancel gives no printer (not on Windows's own).
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

// Qt's own texts in Spanish whatever the environment's language (CTest also runs these with LANG=C).
class Spanish : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(translator, nullptr); }
    void TearDown() override {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    QTranslator* translator = ui::installSpanishTranslation();
};

// The real box of every kind: title, text, icon, Spanish buttons, the normal pointer, the key that answers it.
TEST_F(Spanish, MessageBoxesAnswerSiNoAceptarCancelarAndEscape) {
    const struct {
        ui::Buttons buttons;
        int key;
        ui::Answer expected;
        QStringList texts;  // sorted
    } cases[] = {
        {ui::Buttons::Ok, Qt::Key_Escape, ui::Answer::Ok, {"Aceptar"}},
        {ui::Buttons::OkCancel, Qt::Key_Escape, ui::Answer::Cancel, {"Aceptar", "Cancelar"}},
        {ui::Buttons::YesNo, Qt::Key_Escape, ui::Answer::No, {"No", "Sí"}},
        {ui::Buttons::YesNoCancel, Qt::Key_Escape, ui::Answer::Cancel, {"Cancelar", "No", "Sí"}},
        {ui::Buttons::YesNo, Qt::Key_Return, ui::Answer::Yes, {"No", "Sí"}},
    };
    const QString text = QStringLiteral("Salvar los datos antes de salir?");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.texts.join(' ').toStdString() + " " + std::to_string(c.key));
        ui::BusyPointer busy;
        ASSERT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QStringList shown;
        ui::Answer a{};
        testsupport::whileModal<QMessageBox>(
            [&] { a = ui::message(nullptr, text, {}, ui::Icon::Critical, c.buttons); },
            [&](QMessageBox& box) {
                EXPECT_EQ(box.windowTitle(), ui::applicationTitle());
                EXPECT_TRUE(box.text() == text && box.icon() == QMessageBox::Critical);
                EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);  // not the busy one
                for (QAbstractButton* b : box.buttons())
                    shown << ui::withoutMnemonic(b->text());
                QKeyEvent press(QEvent::KeyPress, c.key, Qt::NoModifier);
                QApplication::sendEvent(box.focusWidget() ? box.focusWidget() : &box, &press);
            });
        EXPECT_EQ(a, c.expected);
        shown.sort();
        EXPECT_EQ(shown, c.texts);
    }
}

// The text boxes' context menu and the print dialog (the command line's help: tests/app).
TEST_F(Spanish, ContextMenuAndPrintDialog) {
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
}

}  // namespace
