// The main window's fields as the operator types into them: the RFC box and
// what its check says and unlocks when the box is left, and the key rules of
// each field. The rules' edge cases are in the checks' own tables; these rows
// show each message and each wiring once through the real widgets.
#include "form1_fixture.h"
#include "texts.h"

namespace form1test {
namespace {

enum class Hab { NotCalled, True, False };

using namespace texts;

struct RfcCase {
    const char* name;
    QString typed;         // key by key (a blank is the space key)
    bool pasted;           // set as a paste would, past the key rules
    QStringList messages;  // in order
    bool valid;            // RFCValido
    Hab habilita;
};

const RfcCase kCases[] = {
    {"empty", QString(), false, {kLen}, false, Hab::NotCalled},
    {"company_typed_lower_case", " abc850101xy1", false, {}, true, Hab::True},
    {"no_leading_blank_and_month_13", "ABCD851301XY1", false, {kFirst, kMonth}, false, Hab::False},
    {"pasted_lower_case_at_2", " aBC850101XY1", true, {kL2}, false, Hab::False},
    {"every_rule_after_a_letter_fault", " A1C851332XYZ", false, {kL3, kMonth, kDay, kLast}, false, Hab::False},
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
    for (const ui::ShownBox& b : boxes_->shown())
        EXPECT_EQ(std::tie(b.title, b.icon, b.buttons), std::make_tuple(ui::applicationTitle(), ui::Icon::None, ui::Buttons::Ok));
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

// The person-name rule on a text change: a letter in position 1 enables the
// name fields, a blank empties and disables them.
TEST_F(Form1Test, RfcTextChangeSwitchesThePersonNameFields) {
    open();
    QLineEdit *nombre = edit("txtnombre1"), *apemat = edit("txtApemat1");
    form_->MaskEdBox1()->setMaskedText(QStringLiteral("PEGJ800101AB1"));
    EXPECT_TRUE(nombre->isEnabled() && apemat->isEnabled());
    nombre->setText(QStringLiteral("JUAN"));
    apemat->setText(QStringLiteral("GARCIA"));
    form_->MaskEdBox1()->setMaskedText(QStringLiteral(" ABC850101XY1"));
    EXPECT_FALSE(nombre->isEnabled());
    EXPECT_TRUE(nombre->text().isEmpty() && apemat->text().isEmpty());
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

// One field of each key rule, typed for real: the window's upper case, the
// lower-case and digit fields.
TEST_F(Form1Test, TypedTextIsFilteredPerField) {
    writeDatoprov(filledRecord());  // Ampliación: the programme year and number are open
    open();
    form_->Habilita(true);
    const struct { const char* control; const char* typed; const char* shown; } cases[] = {
        {"txtCalle", "niño héroe 5", "NIÑO HÉROE 5"},
        {"txtEmail1", "Ventas@Empresa.COM", "ventas@empresa.com"},
        {"EMAILREP", "Juan.Perez@Mail.MX", "juan.perez@mail.mx"},
        {"txtcargo", "Director general", "DIRECTOR GENERAL"},
        {"txtProg1", "2a0-0 1", "2001"},
        {"txtCP", "0 6-6a00", "06600"},
        {"txtFaxR2", "9/8*7", "987"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        QLineEdit* box = edit(c.control);
        ASSERT_NE(box, nullptr);
        // Fields of the other tabs are reachable once their page is shown.
        for (int page = 0; page < form_->SSTab1()->count(); ++page)
            if (form_->SSTab1()->widget(page)->isAncestorOf(box)) form_->SSTab1()->setCurrentIndex(page);
        box->clear();
        type(box, QString::fromUtf8(c.typed));
        EXPECT_EQ(box->text(), QString::fromUtf8(c.shown));
    }
    // txtProg2 left with a negative number (as a paste leaves it) gets "0" and the focus back.
    form_->SSTab1()->setCurrentIndex(0);
    QLineEdit* prog2 = edit("txtProg2");
    for (const char* text : {"12", "-5"}) {
        focus(prog2);
        prog2->setText(QString::fromUtf8(text));
        focus(w("txtApePat1"));
        const bool negative = text[0] == '-';
        EXPECT_EQ(prog2->text(), QString::fromUtf8(negative ? "0" : text));
        EXPECT_EQ(QApplication::focusWidget(), negative ? prog2 : w("txtApePat1"));
    }
    EXPECT_TRUE(boxes_->shown().empty());
}

} // namespace
} // namespace form1test
