// The key pipeline, window step then control filter, dropping what code page 850 cannot hold; the masked edit box.
#include <QClipboard>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/keys.h"
#include "ui/maskededit.h"
#include "ui_test_support.h"

namespace {

const QString kRfcMask = QStringLiteral("&&&&999999aaa");
const QString k13 = QString(13, ' ');
const QString kFull = QStringLiteral(" ABC800101XY1");

// Typed key by key, or committed by an input method (accents composed with dead keys).
TEST(KeyPipeline, TypedComposedAndPastedTextGoesThroughTheFilters) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    QLineEdit *plain = nullptr, *mail = nullptr, *phone = nullptr;
    for (auto** e : {&plain, &mail, &phone})
        layout->addWidget(*e = new QLineEdit);
    auto* rfc = new ui::MaskedEdit;
    layout->addWidget(rfc);
    rfc->setMask(kRfcMask);
    auto* keys = new ui::KeyPipeline(&window);
    keys->setWindowFilter([](int c) { return QChar(char16_t(c)).toUpper().unicode(); });
    keys->setControlFilter(mail, [](int c) { return QChar(char16_t(c)).toLower().unicode(); });
    keys->setControlFilter(phone, uitest::digitsOnly);
    const std::tuple<QLineEdit*, QString, bool, QString> cases[] = {
        // box, typed or composed, shown
        {plain, "a\u20ACb\u0141c\u2014ñ", false, "ABCÑ"},  // outside code page 850
        {plain, "é€ñ", true, "ÉÑ"},
        {phone, "á5", true, "5"},
    };
    for (const auto& [e, text, composed, shown] : cases) {
        SCOPED_TRACE(text.toStdString());
        e->clear();
        QInputMethodEvent ev;
        ev.setCommitString(text);
        if (composed)
            QApplication::sendEvent(e, &ev);
        else
            uitest::type(e, text);
        EXPECT_EQ(e->text(), shown);
    }
    QInputMethodEvent ev;  // composed into the masked positions too
    ev.setCommitString(QStringLiteral("ñá"));
    rfc->setCursorPosition(1);
    QApplication::sendEvent(rfc, &ev);
    EXPECT_EQ(rfc->text(), QStringLiteral(" ÑÁ          "));
    QLineEdit outside;  // controls outside the window are left alone
    uitest::type(&outside, "abc\u20AC");
    EXPECT_EQ(outside.text(), QStringLiteral("abc\u20AC"));
    // A key queued to a widget gone meanwhile is dropped.
    auto* gone = new QLineEdit;
    ui::queueKey(gone, Qt::Key_End);
    ui::queueKey(&outside, Qt::Key_Home);
    delete gone;
    uitest::settle();
    EXPECT_EQ(outside.cursorPosition(), 0);
    // Swallowed keys change nothing.
    QTest::keyClick(phone, Qt::Key_Backspace);  // Backspace passes the digit filter
    QTest::keyClick(phone, Qt::Key_Return);     // Enter does not
    EXPECT_EQ(phone->text(), QString());
    // A paste keeps the storable rest.
    plain->clear();
    mail->clear();
    plain->insert(QStringLiteral("CALLE \u20AC5 \u201CNORTE\u201D\U0001F600"));
    EXPECT_EQ(plain->text(), QStringLiteral("CALLE 5 NORTE"));
    QApplication::clipboard()->setText(QStringLiteral("uno\u2014dos"));
    if (QApplication::clipboard()->text() != QStringLiteral("uno\u2014dos"))
        GTEST_SKIP() << "no clipboard";
    QTest::keyClick(mail, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(mail->text(), QStringLiteral("unodos"));  // pasted text skips the key filters
}

class MaskedEditTest : public ::testing::Test {
protected:
    void SetUp() override { box.setMask(kRfcMask); }
    ui::MaskedEdit box;
};

// Each row: text, caret (and selection from it), typed text or key, then the text and caret after it.
TEST_F(MaskedEditTest, KeysOnThePositions) {
    const struct {
        QString start;
        int pos, selection;
        QString typed;
        int key;
        Qt::KeyboardModifiers mods;
        QString text;
        int cursor;
    } cases[] = {
        {{}, 0, 0, "ABC", 0, {}, "ABC          ", 3},
        {"ABC", 3, 0, "D800101XY1Z", 0, {}, "ABCD800101XY1", 13},  // a fourteenth has no position
        {"X", 0, 0, " ", 0, {}, k13, 0},                // blank: the window's queued Right arrow moves the caret
        {{}, 4, 0, "A", 0, {}, k13, 4},                 // "9": digits only
        {{}, 10, 0, "-", 0, {}, k13, 10},               // "a": letter or digit
        {kFull, 1, 3, "Z", 0, {}, " ZBC800101XY1", 2},  // over a selection: its first position
        {kFull, 4, 0, {}, Qt::Key_Backspace, {}, " AB 800101XY1", 3},  // blanks, no shifting
        {kFull, 5, 0, {}, Qt::Key_Delete, {}, " ABC8 0101XY1", 5},
        {kFull, 1, 3, {}, Qt::Key_Delete, Qt::ControlModifier, "    800101XY1", 1},  // word deletions too
        {kFull, 1, 3, {}, Qt::Key_X, Qt::ControlModifier, "    800101XY1", 1},       // cut
        {kFull, 5, 0, {}, Qt::Key_End, {}, kFull, 13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        box.setMaskedText(c.start);
        if (c.selection)
            box.setSelection(c.pos, c.selection);
        else
            box.setCursorPosition(c.pos);
        if (c.key)
            QTest::keyClick(&box, Qt::Key(c.key), c.mods);
        else
            uitest::type(&box, c.typed);
        EXPECT_EQ(box.text(), c.text);
        EXPECT_EQ(box.cursorPosition(), c.cursor);
    }
}

TEST_F(MaskedEditTest, TextIsAlwaysThirteenPositionsAndFocusSelectsTheFirst) {
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
    // Focus on an empty box selects the first position, on a filled one what the line edit does.
    box.setMaskedText({});
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(&box, &in);
    EXPECT_TRUE(box.selectionStart() == 0 && box.selectedText().size() == 1);
    box.setMaskedText(QStringLiteral(" ABC"));
    box.setCursorPosition(4);
    QApplication::sendEvent(&box, &in);
    EXPECT_NE(box.selectedText().size(), 1);
    ui::MaskedEdit year;  // "#": digit or blank
    year.setMask(QStringLiteral("####"));
    year.setCursorPosition(0);
    uitest::type(&year, "2a0");
    EXPECT_EQ(year.text(), QStringLiteral("20  "));
}

TEST_F(MaskedEditTest, PasteTakesCharactersPositionByPosition) {
    box.pasteMasked(QStringLiteral(" abc800101xy1"));
    EXPECT_EQ(box.text(), QStringLiteral(" abc800101xy1"));  // pasting does not change case
    // Letters leave digit positions as they were; unstorable characters drop before positions count.
    box.setMaskedText({});
    box.setCursorPosition(0);
    box.pasteMasked(QStringLiteral("AB\u20ACCDEF12"));
    EXPECT_EQ(box.text(), QStringLiteral("ABCD  12     "));
    QApplication::clipboard()->setText(QStringLiteral(" XYZ010203AB9"));
    if (QApplication::clipboard()->text() != QStringLiteral(" XYZ010203AB9"))
        GTEST_SKIP() << "no clipboard";
    box.setCursorPosition(0);
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box.text(), QStringLiteral(" XYZ010203AB9"));
}

}  // namespace

// The case filters never hand the grid or a box a letter code page 850 cannot hold.
TEST(CaseKeys, ChangeCaseOnlyToWhatTheTablesCanStore) {
    const struct {
        int code, upper, lower;
    } cases[] = {
        {'a', 'A', 'a'},
        {'N', 'N', 'n'},
        {0xF1, 0xD1, 0xF1} /* ñ */,
        {0xFF, 0xFF, 0xFF} /* ÿ: no Ÿ */,
        {0xB5, 0xB5, 0xB5} /* µ: no Greek Μ */,
        {0xDF, 0xDF, 0xDF} /* ß */,
        {'7', '7', '7'},
        {0, 0, 0},
        {-1, -1, -1},
        {0x1F600, 0x1F600, 0x1F600},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ui::upperKey(c.code), c.upper) << c.code;
        EXPECT_EQ(ui::lowerKey(c.code), c.lower) << c.code;
    }
}
