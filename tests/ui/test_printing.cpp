// A box prints its selection, or everything when nothing is selected; the
// scripted service keeps what each printer got. (The QPrinter path is read
// back from a PDF in the document window's tests.)
#include <gtest/gtest.h>

#include <QTextCursor>
#include <QTextEdit>

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
