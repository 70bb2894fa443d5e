// The key rules of the main window typed into the real fields.
#include "form1_fixture.h"

namespace form1test {
namespace {

struct KeyCase {
    const char* control;
    QString typed;
    QString shown;
};

const KeyCase kKeyCases[] = {
    {"txtApePat1", QStringLiteral("empresa sa"), QStringLiteral("EMPRESA SA")},
    {"txtCalle", QString::fromUtf8("niño héroe 5"), QString::fromUtf8("NIÑO HÉROE 5")},
    {"txtEmail1", QStringLiteral("Ventas@Empresa.COM"), QStringLiteral("ventas@empresa.com")},
    {"EMAILREP", QStringLiteral("Juan.Perez@Mail.MX"), QStringLiteral("juan.perez@mail.mx")},
    {"txtcargo", QStringLiteral("Director general"), QStringLiteral("DIRECTOR GENERAL")},
    {"txtProg1", QStringLiteral("2a0-0 1"), QStringLiteral("2001")},
    {"txtProg2", QStringLiteral("x12.3"), QStringLiteral("123")},
    {"txtCP", QStringLiteral("0 6-6a00"), QStringLiteral("06600")},
    {"txtTelefono", QStringLiteral("(55) 12-34.a5"), QStringLiteral("5512345")},
    {"txtfax", QStringLiteral("55+67 8"), QStringLiteral("55678")},
    {"txtTelefonoR2", QStringLiteral("ext 44"), QStringLiteral("44")},
    {"txtFaxR2", QStringLiteral("9/8*7"), QStringLiteral("987")},
};

class KeyRuleTest : public Form1Test, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyRuleTest, TypedTextIsFiltered) {
    writeDatoprov(filledRecord());  // Ampliación: the programme year and number are open
    open();
    form_->Habilita(true);
    const KeyCase& c = GetParam();
    QWidget* target = w(c.control);
    // Fields of the other tabs are reachable once their page is shown.
    for (int page = 0; page < form_->SSTab1()->count(); ++page)
        if (form_->SSTab1()->widget(page)->isAncestorOf(target)) form_->SSTab1()->setCurrentIndex(page);
    auto* box = qobject_cast<QLineEdit*>(target);
    ASSERT_NE(box, nullptr);
    box->clear();
    type(box, c.typed);
    EXPECT_EQ(box->text(), c.shown);
}

INSTANTIATE_TEST_SUITE_P(Cases, KeyRuleTest, ::testing::ValuesIn(kKeyCases),
                         [](const auto& info) { return std::string(info.param.control); });

TEST_F(Form1Test, DigitFieldsKeepBackspace) {
    open();
    form_->Habilita(true);
    QLineEdit* tel = edit("txtTelefono");
    type(tel, QStringLiteral("123"));
    QTest::keyClick(tel, Qt::Key_Backspace);
    EXPECT_EQ(tel->text(), QStringLiteral("12"));
    QTest::keyClick(tel, Qt::Key_Minus);
    QTest::keyClick(tel, Qt::Key_Return);
    EXPECT_EQ(tel->text(), QStringLiteral("12"));
}

TEST_F(Form1Test, TypedTextReachesTheRecordWhenSaved) {
    writeDatoprov(filledRecord());
    open();
    QLineEdit* razon = edit("txtApePat1");
    razon->clear();
    type(razon, QStringLiteral("nueva razon"));
    QLineEdit* mail = edit("txtEmail1");
    type(mail, QStringLiteral("A@B.MX"));
    // COLONIA is shown twice (the hidden txtAdmLocal too): the typed one is kept.
    form_->Habilita(true);
    type(edit("txtColonia"), QStringLiteral("roma"));
    form_->binding().save();
    const store::Row row = datoprovRow();
    EXPECT_EQ(row.at(4).toString(), "NUEVA RAZON");
    EXPECT_EQ(row.at(7).toString(), "a@b.mx");
    EXPECT_EQ(row.at(9).toString(), "ROMA");
}

TEST_F(Form1Test, NegativeProgrammeNumberBecomesZero) {
    writeDatoprov(filledRecord());
    open();
    QLineEdit* prog2 = edit("txtProg2");
    focus(prog2);
    prog2->setText(QStringLiteral("-5"));  // as a paste would leave it
    focus(w("txtApePat1"));
    settle();
    EXPECT_EQ(prog2->text(), QStringLiteral("0"));
    EXPECT_EQ(QApplication::focusWidget(), prog2);
    EXPECT_TRUE(boxes_->shown().empty());
}

TEST_F(Form1Test, ProgrammeNumberLeftAloneWhenNotNegative) {
    writeDatoprov(filledRecord());
    open();
    QLineEdit* prog2 = edit("txtProg2");
    focus(prog2);
    prog2->setText(QStringLiteral("12"));
    QWidget* next = w("txtApePat1");
    focus(next);
    settle();
    EXPECT_EQ(prog2->text(), QStringLiteral("12"));
    EXPECT_EQ(QApplication::focusWidget(), next);
}

} // namespace
} // namespace form1test
