// The RFC box of the main window: what the operator types, what the check
// says when the box is left, and what it unlocks. The rules' edge cases are
// in the checks' own table; these rows show each message through the box.
#include "form1_fixture.h"

namespace form1test {
namespace {

enum class Hab { NotCalled, True, False };

const QString kLength = QStringLiteral("El RFC no puede ser menor de 13");
const QString kFirst = QStringLiteral("El primer digito del RFC debe espacio ");
const QString kLetter2 = QStringLiteral("El  2 digito del RFC debe ser letra ");
const QString kLetter3 = QStringLiteral("El  3 digito del RFC debe ser letra ");
const QString kMonth = QStringLiteral("El valor del mes del RFC es incorrecto");
const QString kDay = QStringLiteral("El valor del dia del RFC es incorrecto");
const QString kLast = QString::fromUtf8("El ultimo digito del RFC debe ser A ó del 0 al 9");

struct RfcCase {
    const char* name;
    QString typed;         // key by key (a blank is the space key)
    bool pasted;           // set as a paste would, past the key rules
    QStringList messages;  // in order
    bool valid;            // RFCValido
    Hab habilita;
};

const RfcCase kCases[] = {
    {"empty", QString(), false, {kLength}, false, Hab::NotCalled},
    {"company", " ABC850101XY1", false, {}, true, Hab::True},
    {"typed_lower_case_turned_upper", " abc850101xya", false, {}, true, Hab::True},
    {"thirteenth_empty", " ABC850101XY", false, {kLength}, false, Hab::NotCalled},
    {"no_leading_blank_and_month_13", "ABCD851301XY1", false, {kFirst, kMonth}, false, Hab::False},
    {"digit_at_2", " 1BC850101XY1", false, {kLetter2}, false, Hab::False},
    {"pasted_lower_case_at_2", " aBC850101XY1", true, {kLetter2}, false, Hab::False},
    {"month_13_day_32", " ABC851332XY1", false, {kMonth, kDay}, false, Hab::False},
    {"pasted_final_a", " ABC850101XYa", true, {kLast}, false, Hab::False},
    {"every_rule_after_a_letter_fault", " A1C851332XYZ", false, {kLetter3, kMonth, kDay, kLast}, false, Hab::False},
};

void PrintTo(const RfcCase& c, std::ostream* os) { *os << c.name; }

class RfcTest : public Form1Test, public ::testing::WithParamInterface<RfcCase> {};

TEST_P(RfcTest, LeavingTheBoxRunsTheCheck) {
    const RfcCase& c = GetParam();
    open();
    auto* rfc = form_->MaskEdBox1();
    // A mixed band tells the outcomes apart: Habilita switches both boxes, no call leaves them.
    QWidget *calle = w("txtCalle"), *colonia = w("txtColonia");
    calle->setEnabled(true);
    colonia->setEnabled(false);
    if (c.pasted) {
        focus(rfc);
        rfc->setMaskedText(c.typed);
    } else {
        type(rfc, c.typed);  // a blank first moves on, so the next key lands in position 2
        EXPECT_EQ(rfc->maskedText(), c.typed.toUpper().leftJustified(13, QLatin1Char(' ')));
    }
    boxes_->clear();
    QWidget* next = w("txtApePat1");
    focus(next);
    settle();
    EXPECT_EQ(boxes_->texts(), c.messages);
    for (const ui::ShownBox& b : boxes_->shown()) {
        EXPECT_EQ(b.title, ui::applicationTitle());
        EXPECT_EQ(b.icon, ui::Icon::None);
        EXPECT_EQ(b.buttons, ui::Buttons::Ok);
    }
    EXPECT_EQ(form_->RFCValido, c.valid);
    EXPECT_EQ(calle->isEnabled(), c.habilita != Hab::False);
    EXPECT_EQ(colonia->isEnabled(), c.habilita == Hab::True);
    // The band is tab places 8 to 34, the first five buttons included; 35 on stay as they were.
    for (const char* name : {"Combo5", "dbgplantas", "chkProdFinal", "txtApePatR2", "Command2"})
        EXPECT_EQ(w(name)->isEnabled(), c.habilita == Hab::True) << name;
    EXPECT_EQ(w("Command1", 0)->isEnabled(), c.habilita == Hab::True);
    EXPECT_EQ(w("Command1", 4)->isEnabled(), c.habilita == Hab::True);
    EXPECT_FALSE(w("Command1", 5)->isEnabled());
    // After a fault the operator is back in the box; otherwise the focus stays where it went.
    EXPECT_EQ(QApplication::focusWidget(), c.valid ? next : static_cast<QWidget*>(rfc));
}

INSTANTIATE_TEST_SUITE_P(Cases, RfcTest, ::testing::ValuesIn(kCases), [](const auto& info) { return std::string(info.param.name); });

// The person-name rule: a letter in position 1 enables the name fields, a
// blank empties and disables them.
TEST_F(Form1Test, RfcTextChangeSwitchesThePersonNameFields) {
    open();
    QLineEdit *nombre = edit("txtnombre1"), *apemat = edit("txtApemat1");
    form_->MaskEdBox1()->setMaskedText(QStringLiteral("PEGJ800101AB1"));
    EXPECT_TRUE(nombre->isEnabled());
    EXPECT_TRUE(apemat->isEnabled());
    nombre->setText(QStringLiteral("JUAN"));
    apemat->setText(QStringLiteral("GARCIA"));
    form_->MaskEdBox1()->setMaskedText(QStringLiteral(" ABC850101XY1"));
    EXPECT_FALSE(nombre->isEnabled());
    EXPECT_TRUE(nombre->text().isEmpty());
    EXPECT_TRUE(apemat->text().isEmpty());
}

// A window that takes the activation while the check shows its box (as a
// real message box does) is not the operator leaving the box: no second check.
class StealingBoxes : public ui::ScriptedMessageBoxes {
public:
    ui::Answer show(QWidget* parent, const QString& text, const QString& title, ui::Icon icon, ui::Buttons buttons) override {
        QWidget popup;
        popup.show();
        popup.activateWindow();
        (void)QTest::qWaitForWindowActive(&popup);
        popup.close();
        QApplication::processEvents();
        return ui::ScriptedMessageBoxes::show(parent, text, title, icon, buttons);
    }
};

TEST_F(Form1Test, MessageBoxTakingTheFocusDoesNotCheckAgain) {
    auto stealing = std::make_unique<StealingBoxes>();
    StealingBoxes* boxes = stealing.get();
    auto scripted = ui::MessageBoxService::install(std::move(stealing));
    open();
    QWidget* rfc = w("MaskEdBox1");
    type(rfc, QStringLiteral("ABCD851301XY1"));
    focus(w("txtApePat1"));
    for (int round = 0; round < 2; ++round) {  // then another window takes the activation
        if (round) {
            QWidget other;
            other.show();
            other.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&other));
        }
        settle();
        form_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get()));
        settle();
        EXPECT_EQ(boxes->texts(), (QStringList{kFirst, kMonth}));
        EXPECT_EQ(QApplication::focusWidget(), rfc);
    }
    ui::MessageBoxService::install(std::move(scripted));
}

} // namespace
} // namespace form1test
