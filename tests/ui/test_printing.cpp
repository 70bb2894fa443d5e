// A box prints its selection, or everything when nothing is selected; the
// scripted service keeps what each printer got. (The QPrinter path is read
// back from a PDF in the document window's tests.)
#include <gtest/gtest.h>

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include "ui/printing.h"

TEST(Printing, ABoxPrintsItsSelectionOrElseEverything) {
    ui::ScriptedPrinting s;
    s.queue(ui::PrintAnswer::Print);
    auto printer = s.choosePrinter(nullptr, true);
    ASSERT_TRUE(printer);
    QTextEdit box;
    box.setPlainText(QStringLiteral("primera\nsegunda\ntercera"));
    EXPECT_TRUE(printer->print(box));
    QTextCursor c(box.document());
    c.setPosition(8);
    c.setPosition(15, QTextCursor::KeepAnchor);
    box.setTextCursor(c);
    EXPECT_TRUE(printer->print(box));
    const std::vector<QStringList> expected = {{QStringLiteral("primera\nsegunda\ntercera"), QStringLiteral("segunda")}};
    EXPECT_EQ(s.printed(), expected);
}

TEST(Printing, TheDialogOffersNoPageRangeAndACancelGivesNoPrinter) {
    for (bool selection : {true, false}) {
        SCOPED_TRACE(selection);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            seen = true;
            EXPECT_FALSE(dialog->testOption(QAbstractPrintDialog::PrintPageRange));
            EXPECT_EQ(dialog->testOption(QAbstractPrintDialog::PrintSelection), selection);
            EXPECT_EQ(dialog->printer()->printRange() == QPrinter::Selection, selection);
            dialog->reject();
        });
        EXPECT_FALSE(ui::PrintService::instance().choosePrinter(nullptr, selection));
        EXPECT_TRUE(seen);
    }
}
