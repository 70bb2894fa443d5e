// The fields as the operator types into them: the RFC box, what its check
// says and unlocks when the box is left, and each field's key rules. The rules'
// edge cases are in the checks' tables; here each wiring once, for real.
#include "form1_fixture.h"
#include "texts.h"

namespace form1test {
namespace {

using namespace texts;
enum class Hab { NotCalled, True, False };

TEST_F(Form1Test, LeavingTheRfcBoxRunsTheCheck) {
    // typed: key by key (a blank is the space key) unless pasted, past the key rules.
    const struct { QString typed; bool pasted; QStringList messages; Hab habilita; } cases[] = {
        {QString(), false, {kLen}, Hab::NotCalled},
        {" abc850101xy1", false, {}, Hab::True},  // a company, typed in lower case
        {"ABCD851301XY1", false, {kFirst, kMonth}, Hab::False},
        {" aBC850101XY1", true, {kL2}, Hab::False},
        {" A1C851332XYZ", false, {kL3, kMonth, kDay, kLast}, Hab::False},  // every rule after a letter fault
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        restart();
        auto* rfc = form_->MaskEdBox1();
        // A mixed band tells the outcomes apart: Habilita switches both boxes, no call leaves them.
        QWidget *calle = w("txtCalle"), *colonia = w("txtColonia"), *next = w("txtApePat1");
        calle->setEnabled(true);
        colonia->setEnabled(false);
        if (c.pasted) {
            focus(rfc);
            setRfc(c.typed);
        } else {
            type(rfc, c.typed);  // a blank first moves on, so the next key lands in position 2
            EXPECT_EQ(rfc->maskedText(), c.typed.toUpper().leftJustified(13, QLatin1Char(' ')));
        }
        boxes_->clear();
        focus(next);
        EXPECT_EQ(boxes_->texts(), c.messages);
        for (const ui::ShownBox& b : boxes_->shown())
            EXPECT_EQ(std::tie(b.title, b.icon, b.buttons), std::make_tuple(ui::applicationTitle(), ui::Icon::None, ui::Buttons::Ok));
        EXPECT_EQ(form_->RFCValido, c.messages.isEmpty());
        EXPECT_EQ(calle->isEnabled(), c.habilita != Hab::False);
        EXPECT_EQ(colonia->isEnabled(), c.habilita == Hab::True);
        // The band is tab places 8 to 34, the first five buttons included; 35 on stay as they were.
        for (QWidget* x : {w("Combo5"), w("dbgplantas"), w("chkProdFinal"), w("txtApePatR2"), w("Command2"),
                           w("Command1", 0), w("Command1", 4)})
            EXPECT_EQ(x->isEnabled(), c.habilita == Hab::True) << x->objectName().toStdString();
        EXPECT_FALSE(w("Command1", 5)->isEnabled());
        // After a fault the operator is back in the box; otherwise the focus stays where it went.
        EXPECT_EQ(QApplication::focusWidget(), c.messages.isEmpty() ? next : static_cast<QWidget*>(rfc));
    }
    // The text-change rule: a letter in position 1 opens the person-name fields, a blank empties and locks them.
    QLineEdit *nombre = edit("txtnombre1"), *apemat = edit("txtApemat1");
    setRfc(QStringLiteral("PEGJ800101AB1"));
    EXPECT_TRUE(nombre->isEnabled() && apemat->isEnabled());
    nombre->setText(QStringLiteral("JUAN"));
    apemat->setText(QStringLiteral("GARCIA"));
    setRfc(QStringLiteral(" ABC850101XY1"));
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
    auto* boxes = new StealingBoxes;
    auto scripted = ui::MessageBoxService::install(std::unique_ptr<StealingBoxes>(boxes));
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

// One field of each key rule, typed for real.
TEST_F(Form1Test, TypedTextIsFilteredPerField) {
    writeDatoprov(filledRecord());  // Ampliación: the programme year and number are open
    open();
    form_->Habilita(true);
    const struct { const char* control; const char* typed; const char* shown; } cases[] = {
        {"txtCalle", "niño héroe 5", "NIÑO HÉROE 5"}, {"txtEmail1", "Ventas@Empresa.COM", "ventas@empresa.com"},
        {"EMAILREP", "Juan.Perez@Mail.MX", "juan.perez@mail.mx"}, {"txtcargo", "Director general", "DIRECTOR GENERAL"},
        {"txtProg1", "2a0-0 1", "2001"}, {"txtCP", "0 6-6a00", "06600"}, {"txtFaxR2", "9/8*7", "987"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        QLineEdit* box = edit(c.control);
        for (int page = 0; page < form_->SSTab1()->count(); ++page)  // other tabs' fields need their page shown
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
