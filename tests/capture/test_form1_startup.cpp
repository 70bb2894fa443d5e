// Start-up of the main window on an empty and on a filled datoprov, the
// reactions of its lists and tabs, and closing.
#include "form1_fixture.h"

namespace form1test {
namespace {

store::Value field(capture::Form1& f, std::size_t pos) { return f.dtsDatoProv.field(pos); }

TEST_F(Form1Test, EmptyDatoprovAddsALockedNewRecord) {
    open();
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("ZELTAR Ver 3.0"));
    EXPECT_EQ(form_->dtsDatoProv.editMode(), store::EditMode::AddNew);
    for (const char* name : {"txtCalle", "txtColonia", "txtCP", "Combo5", "txtTelefono", "dbgplantas",
                             "chkProdFinal", "chkrodIndirecto", "txtApePatR2", "txtcargo", "EMAILREP",
                             "Command2"})
        EXPECT_FALSE(w(name)->isEnabled()) << name;
    for (int i = 0; i <= 4; ++i) EXPECT_FALSE(w("Command1", i)->isEnabled()) << i;
    // What stays open so that a new application can begin with the RFC.
    for (const char* name : {"MaskEdBox1", "Combo1", "txtApePat1", "txtEmail1", "cmbActividad"})
        EXPECT_TRUE(w(name)->isEnabled()) << name;
    for (int i : {6, 7, 9}) EXPECT_TRUE(w("Command1", i)->isEnabled()) << i;

    EXPECT_EQ(form_->Combo1()->currentIndex(), 0);
    EXPECT_EQ(form_->Combo1()->currentText(), QStringLiteral("Programa nuevo"));
    EXPECT_FALSE(w("txtProg1")->isEnabled());
    EXPECT_FALSE(w("txtProg2")->isEnabled());
    EXPECT_EQ(form_->Combo5()->count(), 3);
    EXPECT_EQ(form_->Combo5()->currentIndex(), -1);
    EXPECT_EQ(form_->cmbActividad()->count(), 3);
    EXPECT_EQ(form_->cmbActividad()->currentText(), QStringLiteral("ALIMENTOS"));
    EXPECT_EQ(field(*form_, 20).toString(), "14");
    EXPECT_EQ(form_->SSTab1()->currentIndex(), 0);
    EXPECT_FALSE(form_->RFCValido);
    EXPECT_TRUE(boxes_->shown().empty());
}

TEST_F(Form1Test, FilledDatoprovIsEditedWithItsListsMatched) {
    writeDatoprov(filledRecord());
    open();
    EXPECT_EQ(form_->dtsDatoProv.editMode(), store::EditMode::Edit);
    EXPECT_EQ(form_->MaskEdBox1()->maskedText(), QStringLiteral(" ABC850101XY1"));
    EXPECT_EQ(edit("txtApePat1")->text(), QStringLiteral("EMPRESA SA"));
    EXPECT_EQ(form_->Combo1()->currentText(), QString::fromUtf8("Ampliación"));
    EXPECT_TRUE(w("txtProg1")->isEnabled());
    EXPECT_TRUE(w("txtProg2")->isEnabled());
    EXPECT_EQ(form_->cmbActividad()->currentText(), QStringLiteral("HARINAS"));
    EXPECT_EQ(form_->Combo5()->currentText(), QStringLiteral("OFICINA CENTRO"));
    EXPECT_EQ(field(*form_, 20).toString(), "14");
    // Start states of the layout: the fiscal address locked, txtcargo open.
    EXPECT_FALSE(w("txtCalle")->isEnabled());
    EXPECT_TRUE(w("txtcargo")->isEnabled());
    EXPECT_TRUE(boxes_->shown().empty());
}

struct ListCase {
    const char* name;
    std::string field;
    store::Value value;
    const char* list;
    QString shown;
};

class UnmatchedCodeTest : public Form1Test, public ::testing::WithParamInterface<ListCase> {};

TEST_P(UnmatchedCodeTest, LastEntryStaysSelected) {
    auto rec = filledRecord();
    rec[GetParam().field] = GetParam().value;
    writeDatoprov(rec);
    open();
    auto* list = qobject_cast<QComboBox*>(w(GetParam().list));
    EXPECT_EQ(list->currentText(), GetParam().shown);
    // Nuevo went on to its end.
    EXPECT_EQ(field(*form_, 20).toString(), "14");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnmatchedCodeTest,
    ::testing::Values(ListCase{"office_matching_nothing", "CVEADMLOC", store::Value(99), "Combo5",
                               QStringLiteral("OFICINA SUR")},
                      ListCase{"null_office", "CVEADMLOC", store::Value(), "Combo5", QStringLiteral("OFICINA SUR")},
                      ListCase{"null_activity", "CVEACTIVID", store::Value(), "cmbActividad",
                               QStringLiteral("TORTILLAS")},
                      ListCase{"first_office", "CVEADMLOC", store::Value(10), "Combo5",
                               QStringLiteral("OFICINA NORTE")}),
    [](const auto& info) { return std::string(info.param.name); });

struct TipoCase {
    int stored;
    bool directo;
    bool indirecto;
};

class TipoProgTest : public Form1Test, public ::testing::WithParamInterface<TipoCase> {};

TEST_P(TipoProgTest, CheckBoxesFollowTheStoredType) {
    auto rec = filledRecord();
    rec["TIPOPROG"] = store::Value(GetParam().stored);
    writeDatoprov(rec);
    open();
    EXPECT_EQ(form_->chkProdFinal()->isChecked(), GetParam().directo);
    EXPECT_EQ(form_->chkrodIndirecto()->isChecked(), GetParam().indirecto);
    EXPECT_FALSE(form_->chkAbastecedor()->isChecked());
    // Marking recomputes TipoProg to the same value; unmarked types keep theirs.
    EXPECT_EQ(form_->TipoProg()->text(), QString::number(GetParam().stored));
}

INSTANTIATE_TEST_SUITE_P(Cases, TipoProgTest,
                         ::testing::Values(TipoCase{0, false, false}, TipoCase{1, true, false},
                                           TipoCase{2, false, true}, TipoCase{3, true, true},
                                           TipoCase{4, false, false}, TipoCase{5, false, false},
                                           TipoCase{6, false, false}, TipoCase{7, false, false}));

TEST_F(Form1Test, ClickingTheBoxesRecomputesTipoProg) {
    writeDatoprov(filledRecord());  // TIPOPROG 1
    open();
    form_->Habilita(true);
    form_->SSTab1()->setCurrentIndex(2);
    QTest::mouseClick(form_->chkrodIndirecto(), Qt::LeftButton);
    EXPECT_EQ(form_->TipoProg()->text(), QStringLiteral("3"));
    QTest::mouseClick(form_->chkProdFinal(), Qt::LeftButton);
    EXPECT_EQ(form_->TipoProg()->text(), QStringLiteral("2"));
}

TEST_F(Form1Test, ShowingTabTwoMarksTheBoxesFromTipoProg) {
    writeDatoprov(filledRecord());
    open();
    form_->TipoProg()->setText(QStringLiteral("2"));
    form_->SSTab1()->setCurrentIndex(1);
    EXPECT_FALSE(form_->chkrodIndirecto()->isChecked());
    form_->SSTab1()->setCurrentIndex(2);
    EXPECT_TRUE(form_->chkrodIndirecto()->isChecked());
    // Marking only: the box of the stored type 1 stays marked.
    EXPECT_TRUE(form_->chkProdFinal()->isChecked());
}

struct MaquilaCase {
    store::Value number, year;
    QString shownNumber, shownYear;
};

class MaquilaTest : public Form1Test, public ::testing::WithParamInterface<MaquilaCase> {};

TEST_P(MaquilaTest, ZerosShowEmpty) {
    auto rec = filledRecord();
    rec["NUMMAQUILA"] = GetParam().number;
    rec["ANOMAQUILA"] = GetParam().year;
    writeDatoprov(rec);
    open();
    auto* num = qobject_cast<ui::MaskedEdit*>(w("txtnummaquila"));
    auto* year = qobject_cast<ui::MaskedEdit*>(form_->control(QStringLiteral("txtañomaquila")));
    ASSERT_NE(year, nullptr);
    EXPECT_EQ(num->maskedText().trimmed(), GetParam().shownNumber);
    EXPECT_EQ(year->maskedText().trimmed(), GetParam().shownYear);
    EXPECT_EQ(field(*form_, 20).toString(), "14");
}

INSTANTIATE_TEST_SUITE_P(Cases, MaquilaTest,
                         ::testing::Values(MaquilaCase{store::Value(0), store::Value(0), "", ""},
                                           MaquilaCase{store::Value(), store::Value(), "", ""},
                                           MaquilaCase{store::Value(123), store::Value(1999), "123", "1999"}));

TEST_F(Form1Test, ProgrammeNewDisablesYearAndNumberAgain) {
    open();
    form_->Combo1()->setCurrentIndex(1);
    EXPECT_TRUE(w("txtProg1")->isEnabled());
    EXPECT_TRUE(w("txtProg2")->isEnabled());
    form_->Combo1()->setCurrentIndex(0);
    EXPECT_FALSE(w("txtProg1")->isEnabled());
    EXPECT_FALSE(w("txtProg2")->isEnabled());
}

TEST_F(Form1Test, LeavingTheActivityListWritesItsCode) {
    writeDatoprov(filledRecord());
    open();
    focus(form_->cmbActividad());
    form_->cmbActividad()->setCurrentIndex(2);
    focus(w("txtApePat1"));
    EXPECT_EQ(field(*form_, 22), store::Value(311030));
    EXPECT_TRUE(boxes_->shown().empty());
}

TEST_F(Form1Test, ClosingANewRecordAsksNothing) {
    open();
    EXPECT_TRUE(form_->close());
    EXPECT_TRUE(boxes_->shown().empty());
}

struct CloseCase {
    ui::Answer answer;
    bool closes;
    const char* stored;  // APEPATRAZ in the file afterwards
};

class CloseTest : public Form1Test, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseTest, ClosingAnEditedRecordAsks) {
    writeDatoprov(filledRecord());
    open();
    edit("txtApePat1")->setText(QStringLiteral("OTRA EMPRESA"));
    boxes_->queue(GetParam().answer);
    EXPECT_EQ(form_->close(), GetParam().closes);
    ASSERT_EQ(boxes_->shown().size(), 1u);
    const ui::ShownBox& b = boxes_->shown()[0];
    EXPECT_EQ(b.text, QStringLiteral("Salvar los datos antes de salir?"));
    EXPECT_EQ(b.title, QStringLiteral("ATENCION"));
    EXPECT_EQ(b.buttons, ui::Buttons::YesNoCancel);
    EXPECT_EQ(b.icon, ui::Icon::None);
    EXPECT_EQ(form_->isVisible(), !GetParam().closes);
    const store::Row row = datoprovRow();
    EXPECT_EQ(row.at(4).toString(), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Cases, CloseTest,
                         ::testing::Values(CloseCase{ui::Answer::Cancel, false, "EMPRESA SA"},
                                           CloseCase{ui::Answer::No, true, "EMPRESA SA"},
                                           CloseCase{ui::Answer::Yes, true, "OTRA EMPRESA"}));

} // namespace
} // namespace form1test
