// Start-up on an empty and on a filled datoprov, the reactions of the lists
// and tabs, and closing.
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

// A filled record opens in editing; the lists, the tabs and the boxes react.
TEST_F(Form1Test, FilledDatoprovListsTabsAndBoxes) {
    writeDatoprov(filledRecord());  // Ampliación, TIPOPROG 1
    open();
    EXPECT_EQ(form_->dtsDatoProv.editMode(), store::EditMode::Edit);
    EXPECT_TRUE(w("txtProg1")->isEnabled() && w("txtProg2")->isEnabled() && w("txtcargo")->isEnabled());
    EXPECT_FALSE(w("txtCalle")->isEnabled());
    EXPECT_EQ(field20(*form_), "14");
    form_->Combo1()->setCurrentIndex(0);  // "Programa nuevo" locks year and number
    EXPECT_FALSE(w("txtProg1")->isEnabled() || w("txtProg2")->isEnabled());
    form_->Combo1()->setCurrentIndex(1);
    EXPECT_TRUE(w("txtProg2")->isEnabled());
    focus(form_->cmbActividad());  // leaving the activity list writes its code
    form_->cmbActividad()->setCurrentIndex(2);
    focus(w("txtApePat1"));
    EXPECT_EQ(form_->dtsDatoProv.field(22), Value(311030));
    // Showing tab 2 marks the boxes from TipoProg; marking only, so the box of type 1 stays.
    form_->TipoProg()->setText(QStringLiteral("2"));
    form_->SSTab1()->setCurrentIndex(1);
    EXPECT_FALSE(form_->chkrodIndirecto()->isChecked());
    form_->SSTab1()->setCurrentIndex(2);
    EXPECT_TRUE(form_->chkrodIndirecto()->isChecked() && form_->chkProdFinal()->isChecked());
    form_->Habilita(true);  // clicking a box recomputes TipoProg
    QTest::mouseClick(form_->chkProdFinal(), Qt::LeftButton);
    EXPECT_EQ(form_->TipoProg()->text(), QStringLiteral("2"));
    QTest::mouseClick(form_->chkProdFinal(), Qt::LeftButton);
    EXPECT_EQ(form_->TipoProg()->text(), QStringLiteral("3"));
    EXPECT_TRUE(boxes_->shown().empty());
}

// Stored values as shown: list texts, "1"/"0" for boxes, trimmed texts.
TEST_F(Form1Test, ControlsShowTheStoredValues) {
    // TIPOPROG 0 to 3 ticks Directo and Indirecto as bits; 4 to 7 tick none; TipoProg keeps the value.
    const struct { const char* field; Value value; std::vector<std::pair<const char*, const char*>> shown; } cases[] = {
        {"CVEADMLOC", Value(99), {{"Combo5", "OFICINA SUR"}}},  // unmatched or null: the last entry
        {"CVEADMLOC", Value(), {{"Combo5", "OFICINA SUR"}}}, {"CVEADMLOC", Value(10), {{"Combo5", "OFICINA NORTE"}}},
        {"CVEACTIVID", Value(), {{"cmbActividad", "TORTILLAS"}}},
        {"NUMMAQUILA", Value(0), {{"txtnummaquila", ""}, {"txtañomaquila", ""}}},  // zeros
        {"NUMMAQUILA", Value(123), {{"txtnummaquila", "123"}}}, {"ANOMAQUILA", Value(1999), {{"txtañomaquila", "1999"}}},
        {"TIPOPROG", Value(1), {{"chkProdFinal", "1"}, {"chkrodIndirecto", "0"}, {"TipoProg", "1"}}},
        {"TIPOPROG", Value(2), {{"chkProdFinal", "0"}, {"chkrodIndirecto", "1"}, {"chkAbastecedor", "0"}}},
        {"TIPOPROG", Value(3), {{"chkProdFinal", "1"}, {"chkrodIndirecto", "1"}, {"chkAbastecedor", "0"}}},
        {"TIPOPROG", Value(7), {{"chkProdFinal", "0"}, {"chkrodIndirecto", "0"}, {"TipoProg", "7"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        auto rec = filledRecord();
        rec[c.field] = c.value;
        restart(rec);
        for (const auto& [control, text] : c.shown) {
            QWidget* x = w(control);
            auto* masked = qobject_cast<ui::MaskedEdit*>(x);
            QString shown = masked ? masked->maskedText().trimmed() : qobject_cast<QLineEdit*>(x) ? edit(control)->text() : "";
            if (auto* box = qobject_cast<QCheckBox*>(x)) shown = box->isChecked() ? "1" : "0";
            if (auto* list = qobject_cast<QComboBox*>(x)) shown = list->currentText();
            EXPECT_EQ(shown, QString::fromUtf8(text)) << control;
        }
        EXPECT_TRUE(boxes_->shown().empty());
    }
}

TEST_F(Form1Test, ClosingAnEditedRecordAsks) {
    // APEPATRAZ in the file afterwards.
    const struct { ui::Answer answer; bool closes; const char* stored; } cases[] = {
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
        EXPECT_EQ(std::tie(b.text, b.title, b.buttons, b.icon), std::make_tuple(QStringLiteral("Salvar los datos antes de salir?"),
                                                                                 QStringLiteral("ATENCION"), ui::Buttons::YesNoCancel, ui::Icon::None));
        EXPECT_EQ(form_->isVisible(), !c.closes);
        EXPECT_EQ(rows("datoprov").at(0).at(4).toString(), c.stored);
        close();
    }
}

} // namespace
} // namespace form1test
