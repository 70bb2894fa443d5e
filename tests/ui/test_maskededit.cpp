// The masked edit box: thirteen positions that never shift, each taking only
// what its mask character allows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QTest>

#include "ui/maskededit.h"
#include "ui_test_support.h"

namespace {

const QString kRfcMask = QStringLiteral("&&&&999999aaa");
const QString k13 = QString(13, ' ');
const QString kFull = QStringLiteral(" ABC800101XY1");

class MaskedEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        box.setMask(kRfcMask);
        box.setCursorPosition(0);
    }
    ui::MaskedEdit box;
};

// Each row: the box's text, the caret (and a selection from it), what is
// typed or the key pressed, the text afterwards and where the caret ends.
TEST_F(MaskedEditTest, KeysOnThePositions) {
    const struct {
        QString start; int pos, selection; QString typed; int key; Qt::KeyboardModifiers mods; QString text; int cursor;
    } cases[] = {
        {{}, 0, 0, "ABC", 0, {}, "ABC          ", 3},
        {"ABC", 3, 0, "D800101XY1Z", 0, {}, "ABCD800101XY1", 13},  // a fourteenth has no position
        {"X", 0, 0, " ", 0, {}, k13, 0},  // blank: the window's queued Right arrow moves the caret
        {{}, 0, 0, "&", 0, {}, "&            ", 1},  // "&": anything
        {{}, 4, 0, "A", 0, {}, k13, 4},   // "9": digits only
        {{}, 4, 0, "-", 0, {}, k13, 4},
        {{}, 4, 0, "7", 0, {}, "    7        ", 5},
        {{}, 10, 0, "x", 0, {}, "          x  ", 11},  // "a": letter or digit
        {{}, 10, 0, "3", 0, {}, "          3  ", 11},
        {{}, 10, 0, "-", 0, {}, k13, 10},
        {{}, 12, 0, "&", 0, {}, k13, 12},
        {kFull, 1, 3, "Z", 0, {}, " ZBC800101XY1", 2},  // over a selection: its first position
        {kFull, 4, 0, {}, Qt::Key_Backspace, {}, " AB 800101XY1", 3},  // blanks, no shifting
        {kFull, 5, 0, {}, Qt::Key_Delete, {}, " ABC8 0101XY1", 5},
        {kFull, 4, 0, {}, Qt::Key_Backspace, Qt::ControlModifier, " AB 800101XY1", 3},  // word deletions too
        {kFull, 1, 3, {}, Qt::Key_Delete, Qt::ControlModifier, "    800101XY1", 1},
        {kFull, 4, 0, {}, Qt::Key_K, Qt::ControlModifier, kFull, 4},
        {kFull, 1, 3, {}, Qt::Key_X, Qt::ControlModifier, "    800101XY1", 1},  // cut
        {kFull, 5, 0, {}, Qt::Key_End, {}, kFull, 13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.start.toStdString() << "\" at " << c.pos << " typed \""
                                        << c.typed.toStdString() << "\" key " << c.key);
        box.setMaskedText(c.start);
        if (c.selection) box.setSelection(c.pos, c.selection);
        else box.setCursorPosition(c.pos);
        if (c.key) QTest::keyClick(&box, Qt::Key(c.key), c.mods);
        else uitest::type(&box, c.typed);
        EXPECT_EQ(box.text(), c.text);
        EXPECT_EQ(box.cursorPosition(), c.cursor);
    }
}

TEST_F(MaskedEditTest, TextIsAlwaysThirteenPositions) {
    EXPECT_EQ(box.text(), k13);
    box.setMaskedText(kFull);
    box.setMask(QString());  // the mask reset sequence
    box.setText(QString());
    box.setMask(kRfcMask);
    EXPECT_EQ(box.text(), k13);
    QLineEdit* plain = &box;  // as generic code holds it
    plain->setText(QStringLiteral(" AB"));
    EXPECT_EQ(box.maskedText(), QStringLiteral(" AB          "));
    plain->setText(kFull + "EXTRA");
    EXPECT_EQ(box.text(), kFull);
}

TEST_F(MaskedEditTest, PasteTakesCharactersPositionByPosition) {
    box.pasteMasked(QStringLiteral(" abc800101xy1"));
    EXPECT_EQ(box.text(), QStringLiteral(" abc800101xy1"));  // pasting does not change case
    // Letters where digits go leave those positions as they were; characters
    // the tables cannot hold are dropped before the positions are counted.
    box.setMaskedText({});
    box.setCursorPosition(0);
    box.pasteMasked(QStringLiteral("AB\u20ACCDEF12"));
    EXPECT_EQ(box.text(), QStringLiteral("ABCD  12     "));
    QApplication::clipboard()->setText(QStringLiteral(" XYZ010203AB9"));
    if (QApplication::clipboard()->text() != QStringLiteral(" XYZ010203AB9")) GTEST_SKIP() << "no clipboard";
    box.setCursorPosition(0);
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box.text(), QStringLiteral(" XYZ010203AB9"));
}

TEST_F(MaskedEditTest, FocusOnAnEmptyBoxSelectsTheFirstPosition) {
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(&box, &in);
    EXPECT_EQ(box.selectionStart(), 0);
    EXPECT_EQ(box.selectedText().size(), 1);
    box.setMaskedText(QStringLiteral(" ABC"));  // a box with characters keeps what the line edit gives it
    box.setCursorPosition(4);
    QApplication::sendEvent(&box, &in);
    EXPECT_NE(box.selectedText().size(), 1);
}

TEST(MaskedEdit, FourDigitMaskTakesBlanksAndDigits) {
    ui::MaskedEdit year;
    year.setMask(QStringLiteral("####"));
    year.setCursorPosition(0);
    uitest::type(&year, "2a0");
    EXPECT_EQ(year.text(), QStringLiteral("20  "));
}

} // namespace
