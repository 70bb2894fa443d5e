#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QTest>

#include "ui/keys.h"
#include "ui/maskededit.h"
#include "ui_test_support.h"

namespace {

const QString kRfcMask = QStringLiteral("&&&&999999aaa");

class MaskedEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        box.setMask(kRfcMask);
        box.setCursorPosition(0);
    }
    ui::MaskedEdit box;
};

TEST_F(MaskedEditTest, EmptyBoxIsThirteenBlanks) {
    EXPECT_EQ(box.text(), QString(13, ' '));
    EXPECT_EQ(box.maskedText(), QString(13, ' '));
}

TEST_F(MaskedEditTest, TypingFillsPositionsAndKeepsTheWidth) {
    uitest::type(&box, "ABC");
    EXPECT_EQ(box.text(), QStringLiteral("ABC          "));
    EXPECT_EQ(box.cursorPosition(), 3);
    uitest::type(&box, "D800101XY1");
    EXPECT_EQ(box.text(), QStringLiteral("ABCD800101XY1"));
    // A fourteenth character has no position to go to.
    uitest::type(&box, "Z");
    EXPECT_EQ(box.text(), QStringLiteral("ABCD800101XY1"));
}

TEST_F(MaskedEditTest, BlankLeavesThePositionBlankAndTheCaretInPlace) {
    uitest::type(&box, "X");
    box.setCursorPosition(0);
    uitest::type(&box, " ");
    EXPECT_EQ(box.text(), QString(13, ' '));
    EXPECT_EQ(box.cursorPosition(), 0);  // the window's queued Right arrow moves it on
    EXPECT_EQ(box.text().size(), 13);
}

TEST_F(MaskedEditTest, PositionsRefuseWhatTheirMaskCharacterDoesNotTake) {
    struct Case {
        int pos;
        QString typed;
        bool taken;
    };
    const Case cases[] = {
        {0, "a", true},  {0, "&", true}, {0, "5", true},  // "&": anything
        {4, "A", false}, {4, "-", false}, {4, "7", true}, // "9": digits only
        {10, "x", true}, {10, "3", true}, {10, "-", false}, {12, "&", false}, // "a": letter or digit
    };
    for (const Case& c : cases) {
        box.setMaskedText({});
        box.setCursorPosition(c.pos);
        uitest::type(&box, c.typed);
        const QString expected = c.taken ? QString(13, ' ').replace(c.pos, 1, c.typed) : QString(13, ' ');
        EXPECT_EQ(box.text(), expected) << "position " << c.pos << " typed " << c.typed.toStdString();
        EXPECT_EQ(box.cursorPosition(), c.taken ? c.pos + 1 : c.pos);
    }
}

TEST_F(MaskedEditTest, BackspaceAndDeleteBlankWithoutShifting) {
    box.setMaskedText(QStringLiteral(" ABC800101XY1"));
    box.setCursorPosition(4);
    QTest::keyClick(&box, Qt::Key_Backspace);
    EXPECT_EQ(box.text(), QStringLiteral(" AB 800101XY1"));
    EXPECT_EQ(box.cursorPosition(), 3);
    box.setCursorPosition(5);
    QTest::keyClick(&box, Qt::Key_Delete);
    EXPECT_EQ(box.text(), QStringLiteral(" AB 8 0101XY1"));
    EXPECT_EQ(box.cursorPosition(), 5);
    QTest::keyClick(&box, Qt::Key_Home);
    EXPECT_EQ(box.cursorPosition(), 0);
    QTest::keyClick(&box, Qt::Key_End);
    EXPECT_EQ(box.cursorPosition(), 13);
    QTest::keyClick(&box, Qt::Key_Left);
    EXPECT_EQ(box.cursorPosition(), 12);
}

TEST_F(MaskedEditTest, TypingOverASelectionReplacesItsFirstPosition) {
    box.setMaskedText(QStringLiteral(" ABC800101XY1"));
    box.setSelection(1, 3);
    uitest::type(&box, "Z");
    EXPECT_EQ(box.text(), QStringLiteral(" ZBC800101XY1"));
    EXPECT_EQ(box.cursorPosition(), 2);
}

TEST_F(MaskedEditTest, MaskResetSequenceGivesThirteenBlanks) {
    box.setMaskedText(QStringLiteral(" ABC800101XY1"));
    box.setMask(QString());
    box.setText(QString());
    box.setMask(kRfcMask);
    EXPECT_EQ(box.text(), QString(13, ' '));
    // The same through a plain line edit pointer, as generic code holds it.
    QLineEdit* plain = &box;
    plain->setText(QStringLiteral(" AB"));
    EXPECT_EQ(box.text(), QStringLiteral(" AB          "));
    plain->setText(QStringLiteral(" ABC800101XY1EXTRA"));
    EXPECT_EQ(box.text(), QStringLiteral(" ABC800101XY1"));
}

TEST_F(MaskedEditTest, PasteTakesCharactersPositionByPosition) {
    box.setCursorPosition(0);
    box.pasteMasked(QStringLiteral(" abc800101xy1"));
    EXPECT_EQ(box.text(), QStringLiteral(" abc800101xy1"));  // pasting does not change case
    // Letters where digits go leave those positions as they were; characters
    // the tables cannot hold are dropped before the positions are counted.
    box.setMaskedText({});
    box.setCursorPosition(0);
    box.pasteMasked(QStringLiteral("AB\u20ACCDEF12"));
    EXPECT_EQ(box.text(), QStringLiteral("ABCD  12     "));
    EXPECT_EQ(box.text().size(), 13);
}

TEST_F(MaskedEditTest, PasteShortcutGoesThroughThePositions) {
    QApplication::clipboard()->setText(QStringLiteral(" XYZ010203AB9"));
    if (QApplication::clipboard()->text() != QStringLiteral(" XYZ010203AB9"))
        GTEST_SKIP() << "no clipboard on this platform";
    box.setCursorPosition(0);
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box.text(), QStringLiteral(" XYZ010203AB9"));
}

TEST_F(MaskedEditTest, WordDeletionBlanksInsteadOfShifting) {
    box.setMaskedText(QStringLiteral(" ABC800101XY1"));
    box.setCursorPosition(4);
    QTest::keyClick(&box, Qt::Key_Backspace, Qt::ControlModifier);  // as a plain Backspace
    EXPECT_EQ(box.text(), QStringLiteral(" AB 800101XY1"));
    box.setCursorPosition(4);
    QTest::keyClick(&box, Qt::Key_K, Qt::ControlModifier);  // delete to the end of the line, where bound
    EXPECT_EQ(box.text().size(), 13);
    EXPECT_TRUE(box.text().startsWith(QStringLiteral(" AB ")));
    box.setSelection(1, 3);
    QTest::keyClick(&box, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(box.text().left(4), QStringLiteral("    "));
    EXPECT_EQ(box.text().size(), 13);
}

TEST_F(MaskedEditTest, FocusOnAnEmptyBoxSelectsTheFirstPosition) {
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(&box, &in);
    EXPECT_EQ(box.selectionStart(), 0);
    EXPECT_EQ(box.selectedText().size(), 1);
    // A box that holds characters keeps what the line edit gives it.
    box.setMaskedText(QStringLiteral(" ABC"));
    box.setCursorPosition(4);
    QApplication::sendEvent(&box, &in);
    EXPECT_NE(box.selectedText().size(), 1);
}

TEST_F(MaskedEditTest, FourDigitMaskTakesBlanksAndDigits) {
    ui::MaskedEdit year;
    year.setMask(QStringLiteral("####"));
    year.setCursorPosition(0);
    uitest::type(&year, "2a0");
    EXPECT_EQ(year.text(), QStringLiteral("20  "));
}

} // namespace
