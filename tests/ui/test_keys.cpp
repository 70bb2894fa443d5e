#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <vector>

#include "ui/keys.h"
#include "ui/maskededit.h"
#include "ui_test_support.h"

namespace {

int upper(int code) { return QChar(char16_t(code)).toUpper().unicode(); }
int lower(int code) { return QChar(char16_t(code)).toLower().unicode(); }
int digitsOnly(int code) { return (code >= '0' && code <= '9') || code == 8 || code == 9 || code == 27 ? code : 0; }

class KeyPipelineTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        for (auto** e : {&plain, &mail, &phone}) {
            *e = new QLineEdit;
            layout->addWidget(*e);
        }
        rfc = new ui::MaskedEdit;
        rfc->setMask(QStringLiteral("&&&&999999aaa"));
        layout->addWidget(rfc);
        keys = new ui::KeyPipeline(&window);
        keys->setWindowFilter([this](int c) {
            calls.push_back("window");
            return upper(c);
        });
        keys->setControlFilter(mail, [this](int c) {
            calls.push_back("mail");
            return lower(c);
        });
        keys->setControlFilter(phone, digitsOnly);
        keys->setControlFilter(rfc, [this](int c) {
            if (c == ' ')
                ui::queueKey(rfc, Qt::Key_Right);
            return c;
        });
    }
    QWidget window;
    QLineEdit* plain = nullptr;
    QLineEdit* mail = nullptr;
    QLineEdit* phone = nullptr;
    ui::MaskedEdit* rfc = nullptr;
    ui::KeyPipeline* keys = nullptr;
    std::vector<std::string> calls;
};

TEST_F(KeyPipelineTest, WindowFilterRunsBeforeTheControlFilter) {
    uitest::type(plain, "razón social");
    EXPECT_EQ(plain->text(), QStringLiteral("RAZÓN SOCIAL"));
    calls.clear();
    uitest::type(mail, "A");
    EXPECT_EQ(calls, (std::vector<std::string>{"window", "mail"}));
    uitest::type(mail, "Info@Empresa.MX");
    EXPECT_EQ(mail->text(), QStringLiteral("ainfo@empresa.mx"));
    EXPECT_EQ(keys->filter(mail, 'Q'), 'q');
    EXPECT_EQ(keys->filter(plain, 'q'), 'Q');
}

TEST_F(KeyPipelineTest, SwallowedKeysChangeNothing) {
    uitest::type(phone, "55-12.a34");
    EXPECT_EQ(phone->text(), QStringLiteral("551234"));
    QTest::keyClick(phone, Qt::Key_Backspace);  // Backspace passes the digit filter
    EXPECT_EQ(phone->text(), QStringLiteral("55123"));
    QTest::keyClick(phone, Qt::Key_Return);     // Enter does not
    EXPECT_EQ(phone->text(), QStringLiteral("55123"));
}

TEST_F(KeyPipelineTest, CharactersOutsideCodePage850AreSwallowed) {
    uitest::type(plain, QStringLiteral("a\u20ACb\u0141c\u2014ñ"));
    EXPECT_EQ(plain->text(), QStringLiteral("ABCÑ"));
    EXPECT_TRUE(ui::storable(QStringLiteral("Razón  Social: ÑÁÉÍÓÚÜ ü ¿¡ º ª")));
    EXPECT_FALSE(ui::storable(QStringLiteral("\u20AC")));
    EXPECT_FALSE(ui::storable(QStringLiteral("\U0001F600")));
    EXPECT_EQ(ui::storableOnly(QStringLiteral("a\u20ACb\U0001F600c")), QStringLiteral("abc"));
}

TEST_F(KeyPipelineTest, PasteKeepsTheStorableRest) {
    plain->insert(QStringLiteral("CALLE \u20AC5 \u201CNORTE\u201D"));
    EXPECT_EQ(plain->text(), QStringLiteral("CALLE 5 NORTE"));
    QApplication::clipboard()->setText(QStringLiteral("uno\u2014dos"));
    if (QApplication::clipboard()->text() == QStringLiteral("uno\u2014dos")) {
        phone->clear();
        QTest::keyClick(mail, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(mail->text(), QStringLiteral("unodos"));  // pasted text skips the key filters
    }
}

TEST_F(KeyPipelineTest, ControlsOutsideTheWindowAreLeftAlone) {
    QLineEdit other;
    uitest::type(&other, "abc\u20AC");
    EXPECT_EQ(other.text(), QStringLiteral("abc\u20AC"));
}

TEST_F(KeyPipelineTest, BlankInTheRfcBoxMovesOnThroughTheQueuedRightArrow) {
    rfc->setCursorPosition(0);
    uitest::type(rfc, " ");
    EXPECT_EQ(rfc->cursorPosition(), 0);  // the queued key has not run yet
    uitest::settle();
    EXPECT_EQ(rfc->cursorPosition(), 1);
    uitest::type(rfc, "abc800101xy1");
    EXPECT_EQ(rfc->text(), QStringLiteral(" ABC800101XY1"));
    EXPECT_EQ(rfc->text().size(), 13);
}

// Accented letters composed with dead keys arrive from the input method, not
// as key presses: the same filters apply to them.
TEST_F(KeyPipelineTest, InputMethodCommitsGoThroughTheFilters) {
    auto commit = [](QWidget* w, const QString& text) {
        QInputMethodEvent e;
        e.setCommitString(text);
        QApplication::sendEvent(w, &e);
    };
    commit(plain, QStringLiteral("é€ñ"));
    EXPECT_EQ(plain->text(), QStringLiteral("ÉÑ"));
    commit(phone, QStringLiteral("á5"));
    EXPECT_EQ(phone->text(), QStringLiteral("5"));
    rfc->setCursorPosition(1);
    commit(rfc, QStringLiteral("ñá"));
    EXPECT_EQ(rfc->text(), QStringLiteral(" ÑÁ          "));
}

TEST(QueueKey, DeliversAfterTheCurrentEvent) {
    QLineEdit edit;
    edit.setText(QStringLiteral("abc"));
    edit.setCursorPosition(0);
    ui::queueKey(&edit, Qt::Key_End);
    EXPECT_EQ(edit.cursorPosition(), 0);
    uitest::settle();
    EXPECT_EQ(edit.cursorPosition(), 3);
    // A target gone before the key arrives is no harm.
    auto* gone = new QLineEdit;
    ui::queueKey(gone, Qt::Key_End);
    delete gone;
    uitest::settle();
}

} // namespace
