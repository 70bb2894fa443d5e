// The key pipeline: the window's step first, then the focused control's
// filter; swallowed keys change nothing; what code page 850 cannot hold is
// dropped from typing, composing and pasting alike.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "ui/keys.h"
#include "ui/maskededit.h"
#include "ui_test_support.h"

namespace {

class KeyPipelineTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        for (auto** e : {&plain, &mail, &phone}) layout->addWidget(*e = new QLineEdit);
        layout->addWidget(rfc = new ui::MaskedEdit);
        rfc->setMask(QStringLiteral("&&&&999999aaa"));
        keys = new ui::KeyPipeline(&window);
        keys->setWindowFilter([](int c) { return QChar(char16_t(c)).toUpper().unicode(); });
        keys->setControlFilter(mail, [](int c) { return QChar(char16_t(c)).toLower().unicode(); });
        keys->setControlFilter(phone, uitest::digitsOnly);
        keys->setControlFilter(rfc, [this](int c) {
            if (c == ' ') ui::queueKey(rfc, Qt::Key_Right);
            return c;
        });
    }
    QWidget window;
    QLineEdit *plain = nullptr, *mail = nullptr, *phone = nullptr;
    ui::MaskedEdit* rfc = nullptr;
    ui::KeyPipeline* keys = nullptr;
};

// Typed key by key, or committed by an input method (accents composed with dead keys).
TEST_F(KeyPipelineTest, TypedAndComposedTextGoesThroughTheFilters) {
    const struct { QLineEdit* e; QString text; bool composed; QString shown; } cases[] = {
        {plain, "razón social", false, "RAZÓN SOCIAL"},
        {mail, "Info@Empresa.MX", false, "info@empresa.mx"},  // the window's upper case, then the box's lower
        {phone, "55-12.a34", false, "551234"},
        {plain, "a\u20ACb\u0141c\u2014ñ", false, "ABCÑ"},  // outside code page 850
        {plain, "é€ñ", true, "ÉÑ"},
        {phone, "á5", true, "5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        QLineEdit* e = c.e;
        e->clear();
        if (c.composed) {
            QInputMethodEvent ev;
            ev.setCommitString(c.text);
            QApplication::sendEvent(e, &ev);
        } else {
            uitest::type(e, c.text);
        }
        EXPECT_EQ(e->text(), c.shown);
    }
    QInputMethodEvent ev;  // composed into the masked positions too
    ev.setCommitString(QStringLiteral("ñá"));
    rfc->setCursorPosition(1);
    QApplication::sendEvent(rfc, &ev);
    EXPECT_EQ(rfc->text(), QStringLiteral(" ÑÁ          "));
    QLineEdit outside;  // controls outside the window are left alone
    uitest::type(&outside, "abc\u20AC");
    EXPECT_EQ(outside.text(), QStringLiteral("abc\u20AC"));
    // Swallowed keys change nothing.
    QTest::keyClick(phone, Qt::Key_Backspace);  // Backspace passes the digit filter
    QTest::keyClick(phone, Qt::Key_Return);     // Enter does not
    EXPECT_EQ(phone->text(), QString());
}

TEST_F(KeyPipelineTest, PasteKeepsTheStorableRest) {
    EXPECT_TRUE(ui::storable(QStringLiteral("Razón  Social: ÑÁÉÍÓÚÜ ü ¿¡ º ª")));
    EXPECT_FALSE(ui::storable(QStringLiteral("\u20AC")));
    EXPECT_EQ(ui::storableOnly(QStringLiteral("a\u20ACb\U0001F600c")), QStringLiteral("abc"));
    plain->insert(QStringLiteral("CALLE \u20AC5 \u201CNORTE\u201D"));
    EXPECT_EQ(plain->text(), QStringLiteral("CALLE 5 NORTE"));
    QApplication::clipboard()->setText(QStringLiteral("uno\u2014dos"));
    if (QApplication::clipboard()->text() != QStringLiteral("uno\u2014dos")) GTEST_SKIP() << "no clipboard";
    QTest::keyClick(mail, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(mail->text(), QStringLiteral("unodos"));  // pasted text skips the key filters
}

TEST_F(KeyPipelineTest, BlankInTheRfcBoxMovesOnThroughTheQueuedRightArrow) {
    rfc->setCursorPosition(0);
    uitest::type(rfc, " ");
    EXPECT_EQ(rfc->cursorPosition(), 0);  // the queued key has not run yet
    uitest::settle();
    EXPECT_EQ(rfc->cursorPosition(), 1);
    uitest::type(rfc, "abc800101xy1");
    EXPECT_EQ(rfc->text(), QStringLiteral(" ABC800101XY1"));
    auto* gone = new QLineEdit;  // a target gone before its key arrives is no harm
    ui::queueKey(gone, Qt::Key_End);
    delete gone;
    uitest::settle();
    EXPECT_EQ(rfc->cursorPosition(), 13);
}

} // namespace
