// Closing, the command buttons, and valida and ValidaRequeridos on the real widgets.
#include "form1_fixture.h"
#include "ui/busy.h"

namespace form1test {
namespace {

using capture::Form1;
const QString kCompany = QStringLiteral(" ABC850101XY1");
const QString kNoBlank = QStringLiteral("ABCD850101XY1");  // fails the first-position rule
const QString kFirst = texts::kFirst;
const QString kProgrammeNumber = QString::fromUtf8("Capture el número de programa");
const QString kOffice = QStringLiteral("Capture la admon. local del proveedor");
const Qt::CheckState U = Qt::Unchecked, C = Qt::Checked, G = Qt::PartiallyChecked;

class CommandsTest : public Form1Test {
protected:
    void boxes3(Qt::CheckState prod, Qt::CheckState ind, Qt::CheckState abas) {
        form_->chkProdFinal->setCheckState(prod);
        form_->chkrodIndirecto->setCheckState(ind);
        form_->chkAbastecedor->setCheckState(abas);
    }
    // The band of switchable controls, sampled: "on", "off", or "mixed".
    std::string band() const {
        int on = 0;
        for (QWidget* c : {w("txtCalle"), w("dbgplantas"), w("Command1", 0), w("Command1", 2), w("Command2")})
            on += c->isEnabled();
        return on == 5 ? "on" : on == 0 ? "off" : "mixed";
    }
    void expectBoxes(const QStringList& texts, ui::Icon icon) {
        EXPECT_EQ(boxes_->texts().join(u'|').toStdString(), texts.join(u'|').toStdString());
        for (const ui::ShownBox& b : boxes_->shown())
            EXPECT_TRUE(b.icon == icon && b.title == ui::applicationTitle()) << b.text.toStdString();
        boxes_->clear();
    }
};

TEST_F(Form1Test, ClosingAnEditedRecordAsks) {
    // The answer, whether the window closes, APEPATRAZ afterwards.
    const std::tuple<ui::Answer, bool, const char*> cases[] = {
        {ui::Answer::Cancel, false, "EMPRESA SA"},
        {ui::Answer::No, true, "EMPRESA SA"},
        {ui::Answer::Yes, true, "OTRA EMPRESA"},
    };
    writeDatoprov(filledRecord());
    for (const auto& [answer, closes, stored] : cases) {
        SCOPED_TRACE(int(answer));
        open();
        edit("txtApePat1")->setText(QStringLiteral("OTRA EMPRESA"));
        boxes_->clear(), boxes_->queue(answer);
        EXPECT_EQ(form_->close(), closes);
        expectBox("Salvar los datos antes de salir?", "ATENCION", ui::Icon::None, ui::Buttons::YesNoCancel);
        EXPECT_EQ(form_->isVisible(), !closes);
        EXPECT_EQ(rows("datoprov").at(0).at(4).toString(), stored);
        close();
    }
}

// valida through the annexes button, a row per rule and edge; a pass opens the annexes with TipoProg.
TEST_F(CommandsTest, AnnexesButtonRunsValidaOnTheControls) {
    writeDatoprov(filledRecord());
    open();
    QString opened;
    form_->windows.Anexos = [&] { opened += "Anexos:" + form_->TipoProg->text(); };
    // The RFC, Combo1, year, number, the three boxes; the message, what opened.
    const std::tuple<QString, int, QString, QString, Qt::CheckState, Qt::CheckState, Qt::CheckState, const char*,
                     const char*>
        cases[] = {
            // A new programme, or no procedure selected, ignores year and number.
            {kCompany, 0, "abc", "", C, U, U, nullptr, "Anexos:1"},
            {kCompany, -1, "", "", C, U, U, nullptr, "Anexos:1"},
            {kCompany, 1, "1979", "5", C, U, U, texts::kYearBefore1980, ""},
            {kCompany, 1, "1980", "", C, U, U, texts::kNumberZero, ""},
            {kCompany, 1, "ABCD", "12", C, U, U, texts::kYearZero, ""},  // a year of letters reads 0
            {kCompany, 1, "0", "0000", C, U, U, texts::kBothMissing, ""},
            {kCompany, 1, "2001", "1 5", C, C, U, nullptr, "Anexos:3"},  // blanks inside a number are passed over
            {kCompany, 0, "", "", U, U, C, nullptr, "Anexos:4"},
            {kCompany, 0, "", "", U, G, U, nullptr, "Anexos:2"},  // a grey box counts
            {kCompany, 0, "", "", U, U, U, texts::kTipo, ""},
            {kCompany, 1, "", "", U, U, U, texts::kTipo, ""},   // before the year
            {kNoBlank, 1, "", "", U, U, U, texts::kFirst, ""},  // an RFC fault ends the check before the programme type
        };
    for (const auto& [rfc, combo1, p1, p2, d, i, a, message, windows] : cases) {
        SCOPED_TRACE(testing::Message() << rfc.toStdString() << combo1 << p1.toStdString() << d << i << a);
        setRfc(rfc);
        form_->Combo1->setCurrentIndex(combo1);
        edit("txtProg1")->setText(p1), edit("txtProg2")->setText(p2);
        boxes3(d, i, a);
        opened.clear();
        form_->ErrorValida = 1;  // an earlier fault is forgotten
        {
            ui::BusyPointer busy;  // as the program's button holds it; only an RFC fault puts it back
            form_->Command2_Click();
            EXPECT_EQ(QApplication::overrideCursor() != nullptr, rfc == kCompany);
        }
        expectBoxes(message ? QStringList{message} : QStringList{}, ui::Icon::None);
        EXPECT_EQ(opened.toStdString(), windows);
        EXPECT_EQ(form_->ErrorValida, message ? 1 : 0);
    }
}

// Each control ValidaRequeridos reads alone at fault (blanks and tabs are empty), then all, in order.
TEST_F(CommandsTest, ValidaRequeridosReadsTheControls) {
    const char* required[] = {nullptr,       nullptr, nullptr, "txtApePat1",  "txtCalle", "txtCP",         "txtColonia",
                              "txtTelefono", nullptr, nullptr, "txtNombreR2", "txtcargo", "txtTelefonoR2", "EMAILREP"};
    std::vector<std::pair<std::function<void()>, std::vector<int>>> cases = {
        {[] {}, {}},
        {[&] { form_->Combo5->setCurrentIndex(-1); }, {8}},
        {[&] { form_->Combo1->setCurrentIndex(1), edit("txtProg1")->clear(), edit("txtProg2")->setText(" "); }, {1, 2}},
        {[&] { boxes3(G, U, C); }, {9}},   // only the hidden Abastecedor, or a grey box
        {[&] { setRfc(kNoBlank); }, {0}},  // shown plain, and not missing data
        {[&] {
             form_->Combo1->setCurrentIndex(1), form_->Combo5->setCurrentIndex(-1), boxes3(U, U, U);
             edit("txtProg1")->clear(), edit("txtProg2")->clear();
             for (const char* name : required)
                 if (name)
                     edit(name)->clear();
         },
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
    };
    for (int place = 3; place <= 13; ++place)
        if (required[place])
            cases.push_back({[&, place] { edit(required[place])->setText(" \t "); }, {place}});
    open();
    for (const auto& [change, places] : cases) {
        setRfc(kCompany);
        form_->Combo1->setCurrentIndex(0);
        for (const char* name : required)
            if (name)
                edit(name)->setText(QStringLiteral("X"));
        form_->Combo5->setCurrentIndex(0);
        boxes3(C, U, U);
        change();
        QStringList messages;
        for (int i : places)
            messages << (i ? QString::fromUtf8(texts::kReq[i]) : kFirst);
        SCOPED_TRACE(messages.join(u'|').toStdString());
        form_->FaltanDatos = 1;  // recomputed from 0 on every call
        form_->ValidaRequeridos();
        const bool rfcOnly = messages.value(0) == kFirst;
        expectBoxes(messages, rfcOnly ? ui::Icon::None : ui::Icon::Critical);
        EXPECT_EQ(form_->FaltanDatos, messages.isEmpty() || rfcOnly ? 0 : 1);
    }
}

// Enabled states; Edit keeps what was typed, applies the person-name rule; moves browse.
TEST_F(CommandsTest, EditAndMoves) {
    writeDatoprov(filledRecord());
    open();
    edit("txtCalle")->setText(QStringLiteral("TYPED")), edit("txtnombre1")->setText(QStringLiteral("JUAN"));
    form_->Habilita(true), button(Form1::kEdit)->setEnabled(false);
    form_->Command1_Click(Form1::kCancelChanges);
    EXPECT_TRUE(band() == "off" && !button(Form1::kDeleteAnnexes)->isEnabled() && button(Form1::kEdit)->isEnabled());
    click(Form1::kEdit);
    EXPECT_EQ(band(), "on");
    EXPECT_TRUE(!button(Form1::kDeleteAnnexes)->isEnabled() && button(Form1::kHelp)->isEnabled()
                && !button(Form1::kEdit)->isEnabled());
    EXPECT_EQ(edit("txtCalle")->text(), QStringLiteral("TYPED"));
    EXPECT_EQ(form_->dtsDatoProv.editMode(), store::EditMode::Edit);
    EXPECT_TRUE(!w("txtnombre1")->isEnabled() && edit("txtnombre1")->text().isEmpty());  // a company's RFC
    form_->MaskEdBox1->blockSignals(true);  // a person's RFC, set without the change rule
    setRfc(kNoBlank);
    form_->MaskEdBox1->blockSignals(false);
    form_->Command1_Click(Form1::kEdit);
    EXPECT_TRUE(w("txtnombre1")->isEnabled());
    form_->Habilita(true), button(Form1::kEdit)->setEnabled(false);
    form_->dtsDatoProv.moveFirst();
    EXPECT_TRUE(band() == "off" && button(Form1::kEdit)->isEnabled());  // a move browses
    form_->Command1_Click(Form1::kEdit);
    ASSERT_FALSE(button(Form1::kDeleteAnnexes)->isEnabled());
    click(Form1::kSave);                                      // saving makes the row current again: a bookmark
    EXPECT_TRUE(button(Form1::kDeleteAnnexes)->isEnabled());  // "Borra Anexos" back after Edit took it
    form_->dtsDatoProv.update();
    form_->dtsDatoProv.addNew();
    EXPECT_TRUE(band() == "on" && !button(Form1::kEdit)->isEnabled());
    EXPECT_TRUE(boxes_->shown().empty());
}

TEST_F(CommandsTest, SaveStepsOnABrandNewRecord) {
    // The RFC, Combo1, the year, the office; the messages.
    const std::tuple<QString, int, QString, int, QStringList> cases[] = {
        {kCompany, 0, "", 1, {}},  // a new programme with an empty year
        {kCompany, 1, "0000", 1, {kProgrammeNumber}},
        {kCompany, 0, "", -1, {kOffice}},
        {kNoBlank, 0, "", 1, {kFirst}},
    };
    for (const auto& [rfc, combo1, prog1, office, messages] : cases) {
        SCOPED_TRACE(messages.join('|').toStdString());
        restart();
        setRfc(rfc), form_->ValidaRFC(), boxes_->clear();
        form_->Combo1->setCurrentIndex(combo1), edit("txtProg1")->setText(prog1);
        form_->Combo5->setCurrentIndex(office), form_->SSTab1->setCurrentIndex(2);
        form_->Command1_Click(Form1::kSave), settle();
        const bool written = messages.isEmpty();
        EXPECT_EQ(boxes_->texts(), messages);
        EXPECT_EQ(rows("datoprov").size(), written ? 1u : 0u);
        EXPECT_EQ(form_->SSTab1->currentIndex(), messages.value(0) == kOffice ? 0 : 2);
        EXPECT_EQ(QApplication::focusWidget() == w("txtProg1"), messages.value(0) == kProgrammeNumber);
        EXPECT_EQ(form_->dtsDatoProv.editMode(), written ? store::EditMode::Edit : store::EditMode::AddNew);
        EXPECT_EQ(w("txtProg1")->isEnabled(), combo1 == 1);  // "Programa nuevo" locks the year and number
        EXPECT_TRUE(written || (form_->close() && boxes_->texts() == messages));  // a new record closes unasked
    }
}

TEST_F(CommandsTest, FailedSaveKeepsTableAndTypedValues) {
    // A catalogue whose office code is wider than CVEADMLOC cannot be stored.
    std::filesystem::remove(dir_ / "admlocal.dbf");
    store::DbfTable::createWithRows(
        dir_ / "admlocal.dbf", {{"CLAVE", store::FieldType::Numeric, 5, 0}, store::tableLayout("admlocal").fields[1]},
        {{Value(12345), Value("OFICINA ANCHA")}});
    open();
    setRfc(kCompany), form_->ValidaRFC();
    edit("txtCalle")->setText(QStringLiteral("CALLE 1")), form_->Combo5->setCurrentIndex(0);
    form_->Command1_Click(Form1::kSave);
    ASSERT_EQ(boxes_->texts().size(), 1);
    EXPECT_TRUE(boxes_->texts()[0].contains(QStringLiteral("12345 no cabe"))) << boxes_->texts()[0].toStdString();
    EXPECT_TRUE(rows("datoprov").empty());
    EXPECT_EQ(edit("txtCalle")->text(), QStringLiteral("CALLE 1"));
    EXPECT_EQ(form_->dtsDatoProv.editMode(), store::EditMode::AddNew);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Every bound text box is saved to its field and shown again; the codes go by position.
TEST_F(CommandsTest, SavedRecordRoundTrips) {
    open();
    setRfc(kCompany), form_->ValidaRFC();
    const char* const boxes[] = {"txtApePat1",  "txtEmail1",   "txtCalle",    "txtColonia", "txtCP",
                                 "txtEstado",   "txtCiudad",   "txtDelMun",   "txtfax",     "txtTelefono",
                                 "txtApePatR2", "txtApeMatR2", "txtNombreR2", "txtcargo",   "txtTelefonoR2",
                                 "txtFaxR2",    "EMAILREP"};
    auto text = [](int i) { return QStringLiteral("Cj%1").arg(i); };  // mixed case, one text a box
    form_->Combo1->setCurrentIndex(1);
    edit("txtProg1")->setText(QStringLiteral("2001")), edit("txtProg2")->setText(QStringLiteral("15"));
    for (int i = 0; i < int(std::size(boxes)); ++i)
        edit(boxes[i])->setText(text(i));
    form_->Combo5->setCurrentIndex(1), form_->cmbActividad->setCurrentIndex(1);
    boxes3(C, C, U);
    click(Form1::kSave);
    ASSERT_TRUE(boxes_->shown().empty()) << boxes_->texts().join('|').toStdString();
    close();
    const auto saved = rows("datoprov");
    ASSERT_EQ(saved.size(), 1u);
    const store::Row& r = saved[0];
    EXPECT_EQ(r[0].toString(), kCompany.toStdString());  // the leading blank kept
    using namespace store::datoprov;
    EXPECT_EQ(std::make_tuple(r[kTipoTram], r[kCampo20], r[kTipoProg], r[kCveActivid], r[kCveAdmLoc]),
              std::make_tuple(Value(2), Value("14"), Value(3), Value(311020), Value(20)));
    open();
    for (int i = 0; i < int(std::size(boxes)); ++i)
        EXPECT_EQ(edit(boxes[i])->text(), text(i)) << boxes[i];
    EXPECT_EQ(edit("txtProg1")->text() + "/" + edit("txtProg2")->text(), QStringLiteral("2001/15"));
}

}  // namespace
}  // namespace form1test
