// The two services every window asks: message boxes and printing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include "ui/busy.h"
#include "ui/messagebox.h"
#include "ui/printing.h"

namespace {

// Every box is recorded as shown; questions take the queued answers (an OK
// box uses none), and a question with nothing queued gets the safe answer and
// is counted so the test can see it.
TEST(ScriptedBoxes, RecordsAnswersAndCountsUnexpectedQuestions) {
    auto* boxes = new ui::ScriptedMessageBoxes;
    auto previous = ui::MessageBoxService::install(std::unique_ptr<ui::ScriptedMessageBoxes>(boxes));
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
    ui::MessageBoxService::install(std::move(previous));
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
        bool seen = false;
        QObject scope;  // the check cannot outlive this iteration's locals
        QTimer::singleShot(0, &scope, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen = true;
            EXPECT_EQ(box->windowTitle(), ui::applicationTitle());
            EXPECT_EQ(box->text(), QStringLiteral("Salvar los datos antes de salir?"));
            EXPECT_EQ(box->icon(), QMessageBox::Critical);
            EXPECT_EQ(box->buttons().size(), c.buttonCount);
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);  // not the busy one
            QKeyEvent press(QEvent::KeyPress, c.key, Qt::NoModifier);
            QApplication::sendEvent(box->focusWidget() ? box->focusWidget() : box, &press);
        });
        ui::BusyPointer busy;
        const ui::Answer a =
            ui::message(nullptr, QStringLiteral("Salvar los datos antes de salir?"), {}, ui::Icon::Critical, c.buttons);
        EXPECT_EQ(a, c.expected) << int(c.buttons) << " key " << c.key;
        EXPECT_TRUE(seen);
    }
}

// A box prints its selection, or everything when nothing is selected; the
// scripted service keeps what each printer got. (The QPrinter path is read
// back from a PDF in the questionnaire's tests.)
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
        bool seen = false;
        QObject scope;  // the check cannot outlive this iteration's locals
        QTimer::singleShot(0, &scope, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            seen = true;
            EXPECT_FALSE(dialog->testOption(QAbstractPrintDialog::PrintPageRange));
            EXPECT_EQ(dialog->testOption(QAbstractPrintDialog::PrintSelection), selection);
            EXPECT_EQ(dialog->printer()->printRange() == QPrinter::Selection, selection);
            auto* range = dialog->findChild<QRadioButton*>(QStringLiteral("printRange"));
            auto* mine = dialog->findChild<QRadioButton*>(QStringLiteral("printSelection"));
            ASSERT_TRUE(range && mine);
            EXPECT_FALSE(range->isEnabled());
            range->setEnabled(true);
            EXPECT_FALSE(range->isEnabled());
            EXPECT_EQ(!mine->isHidden() && mine->isChecked(), selection);
            dialog->reject();
        });
        EXPECT_FALSE(ui::PrintService::instance().choosePrinter(nullptr, selection));
        EXPECT_TRUE(seen);
    }
#endif
}

}  // namespace
