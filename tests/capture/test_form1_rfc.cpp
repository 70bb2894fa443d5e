// The RFC box of the main window: what the operator types, what the check
// says when the box is left, and what it unlocks.
#include "form1_fixture.h"

namespace form1test {
namespace {

enum class Hab { NotCalled, True, False };

struct RfcCase {
    const char* name;
    QString typed;         // typed key by key; a blank is the space key
    bool pasted;           // set as a paste would (no key rules) instead of typed
    QStringList messages;  // in order
    bool valid;            // RFCValido
    Hab habilita;
};

const QString kLength = QStringLiteral("El RFC no puede ser menor de 13");
const QString kFirst = QStringLiteral("El primer digito del RFC debe espacio ");
const QString kLetter2 = QStringLiteral("El  2 digito del RFC debe ser letra ");
const QString kLetter3 = QStringLiteral("El  3 digito del RFC debe ser letra ");
const QString kMonth = QStringLiteral("El valor del mes del RFC es incorrecto");
const QString kDay = QStringLiteral("El valor del dia del RFC es incorrecto");
const QString kLast = QString::fromUtf8("El ultimo digito del RFC debe ser A ó del 0 al 9");

const RfcCase kCases[] = {
    {"empty box", QString(), false, {kLength}, false, Hab::NotCalled},
    {"company RFC", QStringLiteral(" ABC850101XY1"), false, {}, true, Hab::True},
    {"typed lower case is turned upper", QStringLiteral(" abc850101xy1"), false, {}, true, Hab::True},
    {"final A", QStringLiteral(" ABC850101XYA"), false, {}, true, Hab::True},
    {"digit in position 4", QStringLiteral(" AB1850101XY1"), false, {}, true, Hab::True},
    {"ampersand in position 2", QStringLiteral(" &BC850101XY1"), false, {}, true, Hab::True},
    {"month and day 00", QStringLiteral(" ABC850000XY1"), false, {}, true, Hab::True},
    {"thirteenth position empty", QStringLiteral(" ABC850101XY"), false, {kLength}, false, Hab::NotCalled},
    {"no leading blank", QStringLiteral("ABCD850101XY1"), false, {kFirst}, false, Hab::False},
    {"no leading blank and month 13", QStringLiteral("ABCD851301XY1"), false, {kFirst, kMonth}, false,
     Hab::False},
    {"digit in position 2", QStringLiteral(" 1BC850101XY1"), false, {kLetter2}, false, Hab::False},
    {"digit in position 3", QStringLiteral(" A1C850101XY1"), false, {kLetter3}, false, Hab::False},
    {"month 13 and day 32", QStringLiteral(" ABC851332XY1"), false, {kMonth, kDay}, false, Hab::False},
    {"last position a letter other than A", QStringLiteral(" ABC850101XYZ"), false, {kLast}, false,
     Hab::False},
    {"pasted lower case in position 2", QStringLiteral(" aBC850101XY1"), true, {kLetter2}, false, Hab::False},
    {"pasted lower-case final a", QStringLiteral(" ABC850101XYa"), true, {kLast}, false, Hab::False},
    {"every later rule after a letter fault", QStringLiteral(" A1C851332XYZ"), false,
     {kLetter3, kMonth, kDay, kLast}, false, Hab::False},
};

class RfcTest : public Form1Test, public ::testing::WithParamInterface<RfcCase> {};

TEST_P(RfcTest, LeavingTheBoxRunsTheCheck) {
    const RfcCase& c = GetParam();
    open();
    auto* rfc = qobject_cast<ui::MaskedEdit*>(w("MaskEdBox1"));
    ASSERT_NE(rfc, nullptr);
    QWidget* calle = w("txtCalle");
    QWidget* colonia = w("txtColonia");
    // A mixed band tells the three outcomes apart: Habilita switches both
    // boxes, no call leaves them as they are.
    calle->setEnabled(true);
    colonia->setEnabled(false);

    if (c.pasted) {
        focus(rfc);
        rfc->setMaskedText(c.typed);
    } else {
        type(rfc, c.typed);
    }
    if (!c.typed.isEmpty() && !c.pasted) {
        EXPECT_EQ(rfc->maskedText(), c.typed.toUpper().leftJustified(13, QLatin1Char(' ')));
    }
    EXPECT_EQ(rfc->maskedText().size(), 13);
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
    switch (c.habilita) {
    case Hab::NotCalled:
        EXPECT_TRUE(calle->isEnabled());
        EXPECT_FALSE(colonia->isEnabled());
        break;
    case Hab::True:
        EXPECT_TRUE(calle->isEnabled());
        EXPECT_TRUE(colonia->isEnabled());
        break;
    case Hab::False:
        EXPECT_FALSE(calle->isEnabled());
        EXPECT_FALSE(colonia->isEnabled());
        break;
    }
    // After a fault the operator is back in the box; otherwise the focus stays where it went.
    EXPECT_EQ(QApplication::focusWidget(), c.valid ? next : static_cast<QWidget*>(rfc));
}

INSTANTIATE_TEST_SUITE_P(Cases, RfcTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<RfcCase>& info) {
                             std::string n = info.param.name;
                             for (char& ch : n)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return n;
                         });

// A valid RFC unlocks the whole band, the buttons of the band included.
TEST_F(Form1Test, ValidRfcUnlocksTheBand) {
    open();
    for (const char* name : {"txtCalle", "Combo5", "dbgplantas", "chkProdFinal", "txtApePatR2", "Command2"})
        EXPECT_FALSE(w(name)->isEnabled()) << name;
    EXPECT_FALSE(w("Command1", 0)->isEnabled());

    type(w("MaskEdBox1"), QStringLiteral(" ABC850101XY1"));
    focus(w("txtApePat1"));
    settle();

    EXPECT_TRUE(boxes_->shown().empty());
    for (const char* name : {"txtCalle", "Combo5", "dbgplantas", "chkProdFinal", "txtApePatR2", "Command2"})
        EXPECT_TRUE(w(name)->isEnabled()) << name;
    for (int i = 0; i <= 4; ++i) EXPECT_TRUE(w("Command1", i)->isEnabled()) << i;
    // Elements 5 to 9 are outside the band.
    EXPECT_FALSE(w("Command1", 5)->isEnabled());
    EXPECT_FALSE(w("Command1", 5)->isVisible());
}

// A blank typed first leaves position 1 blank and the next key lands in position 2.
TEST_F(Form1Test, BlankKeyMovesOnToTheNextPosition) {
    open();
    auto* rfc = qobject_cast<ui::MaskedEdit*>(w("MaskEdBox1"));
    type(rfc, QStringLiteral(" A"));
    EXPECT_EQ(rfc->maskedText(), QStringLiteral(" A           "));
}

// The person-name rule: a blank in position 1 empties and disables the hidden
// name fields, a letter enables them.
TEST_F(Form1Test, RfcTextChangeSwitchesThePersonNameFields) {
    open();
    auto* rfc = qobject_cast<ui::MaskedEdit*>(w("MaskEdBox1"));
    QLineEdit* nombre = edit("txtnombre1");
    QLineEdit* apemat = edit("txtApemat1");

    rfc->setMaskedText(QStringLiteral("PEGJ800101AB1"));
    EXPECT_TRUE(nombre->isEnabled());
    EXPECT_TRUE(apemat->isEnabled());
    nombre->setText(QStringLiteral("JUAN"));
    apemat->setText(QStringLiteral("GARCIA"));

    rfc->setMaskedText(QStringLiteral(" ABC850101XY1"));
    EXPECT_FALSE(nombre->isEnabled());
    EXPECT_FALSE(apemat->isEnabled());
    EXPECT_TRUE(nombre->text().isEmpty());
    EXPECT_TRUE(apemat->text().isEmpty());
}

// A window that takes the activation while the check shows its box (as a
// real message box does) must not start a second check.
class StealingBoxes : public ui::ScriptedMessageBoxes {
public:
    ui::Answer show(QWidget* parent, const QString& text, const QString& title, ui::Icon icon,
                    ui::Buttons buttons) override {
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
    auto* rfc = w("MaskEdBox1");
    type(rfc, QStringLiteral("ABCD851301XY1"));
    focus(w("txtApePat1"));
    settle();
    form_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    settle();
    EXPECT_EQ(boxes->texts(), (QStringList{kFirst, kMonth}));
    // Back in the box, another window taking the activation is not the
    // operator leaving the box either.
    ASSERT_EQ(QApplication::focusWidget(), rfc);
    {
        QWidget other;
        other.show();
        other.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&other));
    }
    form_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    settle();
    EXPECT_EQ(boxes->texts(), (QStringList{kFirst, kMonth}));
    EXPECT_EQ(QApplication::focusWidget(), rfc);
    ui::MessageBoxService::install(std::move(scripted));
}

} // namespace
} // namespace form1test
