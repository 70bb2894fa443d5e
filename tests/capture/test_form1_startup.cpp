// Start-up of the main window on an empty and on a filled datoprov, the
// reactions of its lists and tabs, and closing.
#include "form1_fixture.h"

namespace form1test {
namespace {

// Nuevo runs to its end (its last step sets field 20) on every start-up.
std::string field20(capture::Form1& f) { return f.dtsDatoProv.field(20).toString(); }

TEST_F(Form1Test, EmptyDatoprovAddsALockedNewRecord) {
    open();
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("ZELTAR Ver 3.0"));
    EXPECT_EQ(form_->dtsDatoProv.editMode(), store::EditMode::AddNew);
    for (const char* name : {"txtCalle", "txtColonia", "txtCP", "Combo5", "txtTelefono", "dbgplantas", "chkProdFinal",
                             "chkrodIndirecto", "txtApePatR2", "txtcargo", "EMAILREP", "Command2", "txtProg1", "txtProg2"})
        EXPECT_FALSE(w(name)->isEnabled()) << name;
    for (int i = 0; i <= 4; ++i) EXPECT_FALSE(w("Command1", i)->isEnabled()) << i;
    // What stays open so that a new application can begin with the RFC.
    for (const char* name : {"MaskEdBox1", "Combo1", "txtApePat1", "txtEmail1", "cmbActividad"})
        EXPECT_TRUE(w(name)->isEnabled()) << name;
    for (int i : {6, 7, 9}) EXPECT_TRUE(w("Command1", i)->isEnabled()) << i;
    EXPECT_EQ(form_->Combo1()->currentText(), QStringLiteral("Programa nuevo"));
    EXPECT_EQ(std::make_tuple(form_->Combo5()->count(), form_->Combo5()->currentIndex(), form_->SSTab1()->currentIndex()),
              std::make_tuple(3, -1, 0));
    EXPECT_EQ(form_->cmbActividad()->currentText(), QStringLiteral("ALIMENTOS"));
    EXPECT_EQ(field20(*form_), "14");
    EXPECT_FALSE(form_->RFCValido);
    EXPECT_TRUE(form_->close());  // closing while adding asks nothing
    EXPECT_TRUE(boxes_->shown().empty());
}

TEST_F(Form1Test, FilledDatoprovIsEditedWithItsListsMatched) {
    writeDatoprov(filledRecord());
    open();
    // The values shown are the commands' round trip; here what editing starts with.
    EXPECT_EQ(form_->dtsDatoProv.editMode(), store::EditMode::Edit);
    EXPECT_TRUE(w("txtProg1")->isEnabled() && w("txtProg2")->isEnabled());  // Ampliación
    EXPECT_EQ(field20(*form_), "14");
    EXPECT_FALSE(w("txtCalle")->isEnabled());  // start states of the layout
    EXPECT_TRUE(w("txtcargo")->isEnabled());
    EXPECT_TRUE(boxes_->shown().empty());
    // "Programa nuevo" locks the year and number that "Ampliación" opened.
    form_->Combo1()->setCurrentIndex(0);
    EXPECT_FALSE(w("txtProg1")->isEnabled() || w("txtProg2")->isEnabled());
    form_->Combo1()->setCurrentIndex(1);
    EXPECT_TRUE(w("txtProg2")->isEnabled());
    // Leaving the activity list writes its code.
    focus(form_->cmbActividad());
    form_->cmbActividad()->setCurrentIndex(2);
    focus(w("txtApePat1"));
    EXPECT_EQ(form_->dtsDatoProv.field(22), Value(311030));
}

QString shownText(QWidget* c) {
    if (auto* box = qobject_cast<QCheckBox*>(c)) return box->isChecked() ? "1" : "0";
    if (auto* list = qobject_cast<QComboBox*>(c)) return list->currentText();
    if (auto* masked = qobject_cast<ui::MaskedEdit*>(c)) return masked->maskedText().trimmed();
    return qobject_cast<QLineEdit*>(c)->text();
}

// A filled record with some fields changed, and what the controls show: list
// texts, "1"/"0" for check boxes, trimmed texts for the rest.
TEST_F(Form1Test, ControlsShowTheStoredValues) {
    using Shown = std::vector<std::pair<const char*, const char*>>;
    // The boxes (Directo, Indirecto, Abastecedor) follow TIPOPROG 0 to 3; 4 to 7
    // mark none, and TipoProg keeps the stored value.
    auto tipo = [](const char* stored, const char* prod, const char* ind) {
        return Shown{{"chkProdFinal", prod}, {"chkrodIndirecto", ind}, {"chkAbastecedor", "0"}, {"TipoProg", stored}};
    };
    const struct { std::map<std::string, Value> fields; Shown shown; } cases[] = {
        // An unmatched or null code leaves the last entry selected.
        {{{"CVEADMLOC", Value(99)}}, {{"Combo5", "OFICINA SUR"}}},
        {{{"CVEADMLOC", Value()}}, {{"Combo5", "OFICINA SUR"}}},
        {{{"CVEADMLOC", Value(10)}}, {{"Combo5", "OFICINA NORTE"}}},
        {{{"CVEACTIVID", Value()}}, {{"cmbActividad", "TORTILLAS"}}},
        {{}, {{"txtnummaquila", ""}, {"txtañomaquila", ""}}},  // zeros
        {{{"NUMMAQUILA", Value()}, {"ANOMAQUILA", Value()}}, {{"txtnummaquila", ""}, {"txtañomaquila", ""}}},
        {{{"NUMMAQUILA", Value(123)}, {"ANOMAQUILA", Value(1999)}}, {{"txtnummaquila", "123"}, {"txtañomaquila", "1999"}}},
        {{{"TIPOPROG", Value(1)}}, tipo("1", "1", "0")}, {{{"TIPOPROG", Value(2)}}, tipo("2", "0", "1")},
        {{{"TIPOPROG", Value(3)}}, tipo("3", "1", "1")}, {{{"TIPOPROG", Value(4)}}, tipo("4", "0", "0")},
        {{{"TIPOPROG", Value(7)}}, tipo("7", "0", "0")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        auto rec = filledRecord();
        for (const auto& [field, value] : c.fields) rec[field] = value;
        restart(rec);
        for (const auto& [control, text] : c.shown) EXPECT_EQ(shownText(w(control)), QString::fromUtf8(text)) << control;
        EXPECT_EQ(field20(*form_), "14");
        EXPECT_TRUE(boxes_->shown().empty());
    }
}

TEST_F(Form1Test, TheBoxesAndTipoProgFollowEachOther) {
    writeDatoprov(filledRecord());  // TIPOPROG 1
    open();
    // Showing tab 2 marks the boxes from TipoProg; marking only, so the box of type 1 stays.
    form_->TipoProg()->setText(QStringLiteral("2"));
    form_->SSTab1()->setCurrentIndex(1);
    EXPECT_FALSE(form_->chkrodIndirecto()->isChecked());
    form_->SSTab1()->setCurrentIndex(2);
    EXPECT_TRUE(form_->chkrodIndirecto()->isChecked() && form_->chkProdFinal()->isChecked());
    // Clicking a box recomputes TipoProg.
    form_->Habilita(true);
    QTest::mouseClick(form_->chkProdFinal(), Qt::LeftButton);
    EXPECT_EQ(form_->TipoProg()->text(), QStringLiteral("2"));
    QTest::mouseClick(form_->chkProdFinal(), Qt::LeftButton);
    EXPECT_EQ(form_->TipoProg()->text(), QStringLiteral("3"));
}

TEST_F(Form1Test, ClosingAnEditedRecordAsks) {
    const struct {
        ui::Answer answer;
        bool closes;
        const char* stored;  // APEPATRAZ in the file afterwards
    } cases[] = {
        {ui::Answer::Cancel, false, "EMPRESA SA"}, {ui::Answer::No, true, "EMPRESA SA"}, {ui::Answer::Yes, true, "OTRA EMPRESA"}};
    writeDatoprov(filledRecord());
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.answer));
        open();
        edit("txtApePat1")->setText(QStringLiteral("OTRA EMPRESA"));
        boxes_->clear();
        boxes_->queue(c.answer);
        EXPECT_EQ(form_->close(), c.closes);
        ASSERT_EQ(boxes_->shown().size(), 1u);
        const ui::ShownBox& b = boxes_->shown()[0];
        EXPECT_EQ(std::tie(b.text, b.title, b.buttons, b.icon),
                  std::make_tuple(QStringLiteral("Salvar los datos antes de salir?"), QStringLiteral("ATENCION"),
                                  ui::Buttons::YesNoCancel, ui::Icon::None));
        EXPECT_EQ(form_->isVisible(), !c.closes);
        EXPECT_EQ(rows("datoprov").at(0).at(4).toString(), c.stored);
        close();
    }
}

} // namespace
} // namespace form1test
