// The main window's command buttons (save, edit, back to browsing), the hook
// of its data source, and the checks valida and ValidaRequeridos as wired to
// the real widgets.
#include <QAbstractButton>
#include <QCursor>
#include <functional>

#include "form1_fixture.h"
#include "ui/busy.h"

namespace form1test {
namespace {

const QString kCompany = QStringLiteral(" ABC850101XY1");
const QString kNoBlank = QStringLiteral("ABCD850101XY1");  // fails the first-position rule
const QString kFirst = QStringLiteral("El primer digito del RFC debe espacio ");
const QString kPrograma = QString::fromUtf8("Capture el número de programa");
const QString kOficina = QStringLiteral("Capture la admon. local del proveedor");

enum class St { On, Off, Same };

// The texts ValidaRequeridos asks for.
const char* const kRequiredTexts[] = {"txtApePat1", "txtCalle",    "txtCP",         "txtColonia", "txtTelefono",
                                      "txtNombreR2", "txtcargo", "txtTelefonoR2", "EMAILREP"};

void tick(QCheckBox* box, Qt::CheckState s = Qt::Checked) { box->setCheckState(s); }

class CommandsTest : public Form1Test {
protected:
    QAbstractButton* button(int i) const { return qobject_cast<QAbstractButton*>(w("Command1", i)); }
    void setRfc(const QString& t) { form_->MaskEdBox1()->setMaskedText(t); }
    // The fields ValidaRequeridos asks for, all filled, with a valid RFC.
    void fillRequired() {
        setRfc(kCompany);
        form_->Combo1()->setCurrentIndex(0);
        for (const char* name : kRequiredTexts) edit(name)->setText(QStringLiteral("X"));
        form_->Combo5()->setCurrentIndex(0);
        tick(form_->chkProdFinal());
    }
    std::vector<store::Row> datoprovRows() const {
        auto table = store::DbfTable::open(dir_ / "datoprov.dbf");
        std::vector<store::Row> rows;
        for (std::size_t r = 0; r < table->recordCount(); ++r) rows.push_back(table->read(r));
        return rows;
    }
    // The band of switchable controls, sampled: all on, all off, or mixed.
    std::vector<QWidget*> band() const {
        return {w("txtCalle"), w("dbgplantas"), w("Command1", 0), w("Command1", 1), w("Command1", 2), w("Command2")};
    }
    void setBand(bool on) { for (QWidget* c : band()) c->setEnabled(on); }
    St bandState() const {
        int on = 0;
        for (QWidget* c : band()) on += c->isEnabled();
        return on == int(band().size()) ? St::On : on == 0 ? St::Off : St::Same;
    }
    void expectBoxes(const QStringList& texts, ui::Icon icon) {
        EXPECT_EQ(boxes_->texts().join(u'|').toStdString(), texts.join(u'|').toStdString());
        for (const ui::ShownBox& b : boxes_->shown())
            EXPECT_TRUE(b.icon == icon && b.title == ui::applicationTitle()) << b.text.toStdString();
        boxes_->clear();
    }
};

// ---- valida ---------------------------------------------------------------

struct ValidaCase {
    const char* name;
    QString rfc;
    int combo1;
    QString prog1, prog2;
    Qt::CheckState prod, indirecto, abastecedor;  // abastecedor is never shown
    QStringList messages;
    int before, error;  // ErrorValida before (set by the caller) and after
};

const Qt::CheckState U = Qt::Unchecked, C = Qt::Checked, G = Qt::PartiallyChecked;

const ValidaCase kValida[] = {
    {"new programme ignores year and number", kCompany, 0, "abc", "", C, U, U, {}, 0, 0},
    {"extension 1979", kCompany, 1, "1979", "5", C, U, U, {"El año de zeltar no puede ser menor a 1980"}, 0, 1},
    {"extension 1980 number 0", kCompany, 1, "1980", "0", C, U, U, {"El número de zeltar no puede ser cero"}, 0, 1},
    {"extension both empty", kCompany, 1, "", "", U, C, U, {"Es necesario el año y número de programa"}, 0, 1},
    {"extension year empty", kCompany, 1, "", "12", C, U, U, {"El año de zeltar no puede ser cero"}, 0, 1},
    {"number of blanks only", kCompany, 1, "2001", "  ", C, U, U, {"El número de zeltar no puede ser cero"}, 0, 1},
    {"extension 2001 number 15", kCompany, 1, "2001", "15", C, U, U, {}, 0, 0},
    {"a pass keeps an earlier fault", kCompany, 1, "2001", "15", C, U, U, {}, 1, 1},
    {"no programme type", kCompany, 1, "2001", "15", U, U, U, {"Seleccione un tipo de programa"}, 0, 1},
    {"hidden Abastecedor counts", kCompany, 0, "", "", U, U, C, {}, 0, 0},
    {"a grey box counts", kCompany, 0, "", "", U, G, U, {}, 0, 0},
    {"RFC fault ends the check", kNoBlank, 1, "", "", U, U, U, {kFirst}, 0, 1},
};

TEST_F(CommandsTest, ValidaTable) {
    writeDatoprov(filledRecord());
    open();
    for (const ValidaCase& c : kValida) {
        SCOPED_TRACE(c.name);
        setRfc(c.rfc);
        form_->Combo1()->setCurrentIndex(c.combo1);
        edit("txtProg1")->setText(c.prog1);
        edit("txtProg2")->setText(c.prog2);
        tick(form_->chkProdFinal(), c.prod);
        tick(form_->chkrodIndirecto(), c.indirecto);
        tick(form_->chkAbastecedor(), c.abastecedor);
        form_->ErrorValida = std::int16_t(c.before);
        {
            ui::BusyPointer busy;  // as the annexes button holds it
            form_->valida();
            // Only an RFC fault puts the normal pointer back.
            EXPECT_EQ(QApplication::overrideCursor() != nullptr, c.rfc == kCompany);
        }
        expectBoxes(c.messages, ui::Icon::None);
        EXPECT_EQ(form_->ErrorValida, c.error);
    }
}

// ---- ValidaRequeridos -----------------------------------------------------

struct RequeridosCase {
    const char* name;
    std::function<void(capture::Form1&)> change;  // after fillRequired()
    QStringList messages;
};

const RequeridosCase kRequeridos[] = {
    {"everything given", [](capture::Form1&) {}, {}},
    {"all blank, no office, no type",
     [](capture::Form1& f) {
         for (const char* name : kRequiredTexts) f.text(name)->setText(QStringLiteral("  "));
         f.Combo5()->setCurrentIndex(-1);
         tick(f.chkProdFinal(), Qt::Unchecked);
     },
     {"La razón social de la empresa es un dato requerido", "La calle de la empresa es un dato requerido",
      "El codigo postal de la empresa es un dato requerido", "La colonia de la empresa es un dato requerido",
      "El telefono de la empresa es un dato requerido",
      "La administracion de recaudación de la empresa es un dato requerido",
      "El tipo de programa de la empresa es un dato requerido",
      "El nombre del representante legal es un dato requerido",
      "El cargo del representante legal es un dato requerido",
      "El Telefono del representante legal es un dato requerido",
      "El email del representante legal es un dato requerido"}},
    {"extension without year and number",
     [](capture::Form1& f) {
         f.Combo1()->setCurrentIndex(1);
         f.text("txtProg1")->clear();
         f.text("txtProg2")->setText(QStringLiteral(" "));
     },
     {"El año del registro ZELTAR es un dato requerido", "El numero del registro ZELTAR es un dato requerido"}},
    {"only the hidden Abastecedor, or a grey box",
     [](capture::Form1& f) {
         tick(f.chkProdFinal(), Qt::PartiallyChecked);
         tick(f.chkAbastecedor());
     },
     {"El tipo de programa de la empresa es un dato requerido"}},
};

TEST_F(CommandsTest, ValidaRequeridosTable) {
    open();
    for (const RequeridosCase& c : kRequeridos) {
        SCOPED_TRACE(c.name);
        fillRequired();
        c.change(*form_);
        form_->FaltanDatos = 1;  // recomputed from 0 on every call
        form_->ValidaRequeridos();
        expectBoxes(c.messages, ui::Icon::Critical);
        EXPECT_EQ(form_->FaltanDatos, c.messages.isEmpty() ? 0 : 1);
    }
    // The RFC check's messages show (plain) but do not count as missing data.
    fillRequired();
    setRfc(kNoBlank);
    form_->ValidaRequeridos();
    expectBoxes({kFirst}, ui::Icon::None);
    EXPECT_EQ(form_->FaltanDatos, 0);
}

// ---- enabled states -------------------------------------------------------

struct StateCase {
    const char* name;
    bool record;  // datoprov holds a saved record
    QString rfc;
    std::function<void(capture::Form1&)> event;
    St band, b3, b4, b6;
};

void checkRfc(capture::Form1& f) { f.ValidaRFC(); }
template <int I>
void click(capture::Form1& f) { f.Command1_Click(I); }

const StateCase kStates[] = {
    {"RFC passed", true, kCompany, checkRfc, St::On, St::On, St::On, St::Same},
    {"RFC failed", true, kNoBlank, checkRfc, St::Off, St::Off, St::Off, St::Same},
    {"Edit, record present", true, kCompany, click<6>, St::On, St::Off, St::On, St::Off},
    {"Edit, no record", false, kCompany, click<6>, St::Same, St::Off, St::Same, St::Off},
    // Saving starts with the RFC check, which opens the band and 3 and 4.
    {"Save succeeded", true, kCompany, click<1>, St::On, St::On, St::On, St::Same},
    {"Back to browsing", true, kCompany, click<5>, St::Off, St::Off, St::Off, St::On},
};

void PrintTo(const StateCase& c, std::ostream* os) { *os << c.name; }

class StateTest : public CommandsTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(StateTest, RowOfTheTable) {
    const StateCase& c = GetParam();
    if (c.record) writeDatoprov(filledRecord());
    open();
    setRfc(c.rfc);
    // From all-on and from all-off, so that "unchanged" is told apart.
    for (bool start : {true, false}) {
        SCOPED_TRACE(start ? "from enabled" : "from disabled");
        setBand(start);
        for (int i : {3, 4, 6}) button(i)->setEnabled(start);
        c.event(*form_);
        auto want = [start](St s) { return s == St::Same ? (start ? St::On : St::Off) : s; };
        auto st = [](QWidget* b) { return b->isEnabled() ? St::On : St::Off; };
        EXPECT_EQ(bandState(), want(c.band));
        EXPECT_EQ(st(button(3)), want(c.b3));
        EXPECT_EQ(st(button(4)), want(c.b4));
        EXPECT_EQ(st(button(6)), want(c.b6));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, StateTest, ::testing::ValuesIn(kStates),
                         [](const auto& info) { return std::to_string(info.index); });

TEST_F(CommandsTest, EditRunsThePersonNameRuleAndKeepsPendingChanges) {
    writeDatoprov(filledRecord());
    open();
    edit("txtCalle")->setText(QStringLiteral("TYPED"));
    edit("txtnombre1")->setText(QStringLiteral("JUAN"));
    form_->Command1_Click(5);  // back to browsing and Edit keep what was typed
    button(6)->click();
    EXPECT_EQ(edit("txtCalle")->text(), QStringLiteral("TYPED"));
    EXPECT_EQ(form_->dtsDatoProv.editMode(), store::EditMode::Edit);
    // A company RFC: Edit empties and locks the person-name fields.
    EXPECT_FALSE(w("txtnombre1")->isEnabled());
    EXPECT_TRUE(edit("txtnombre1")->text().isEmpty());
    // A person's RFC, set without the change rule: Edit opens them.
    form_->MaskEdBox1()->blockSignals(true);
    setRfc(kNoBlank);
    form_->MaskEdBox1()->blockSignals(false);
    form_->Command1_Click(6);
    EXPECT_TRUE(w("txtnombre1")->isEnabled());
}

TEST_F(CommandsTest, MovesReturnToBrowsingOtherActionsDoNot) {
    writeDatoprov(filledRecord());
    open();
    const std::pair<const char*, std::function<void(store::DataSource&)>> moves[] = {
        {"first", [](store::DataSource& d) { d.moveFirst(); }},
        {"last", [](store::DataSource& d) { d.moveLast(); }},
        {"next", [](store::DataSource& d) { d.moveNext(); }},
        {"previous", [](store::DataSource& d) { d.movePrevious(); }},
    };
    for (const auto& [name, move] : moves) {
        SCOPED_TRACE(name);
        form_->Habilita(true);
        button(6)->setEnabled(false);
        move(form_->dtsDatoProv);
        EXPECT_EQ(bandState(), St::Off);
        EXPECT_TRUE(button(6)->isEnabled());
    }
    form_->dtsDatoProv.moveFirst();
    form_->Command1_Click(6);
    ASSERT_FALSE(button(3)->isEnabled());
    button(1)->click();  // saving makes the row current again: a bookmark
    EXPECT_TRUE(button(3)->isEnabled());  // "Borra Anexos" back after Edit took it
    form_->dtsDatoProv.update();
    form_->dtsDatoProv.addNew();
    EXPECT_EQ(bandState(), St::On);
    EXPECT_FALSE(button(6)->isEnabled());
    EXPECT_TRUE(boxes_->shown().empty());
}

// ---- saving ---------------------------------------------------------------

struct SaveCase {
    const char* name;
    QString rfc;
    int combo1;
    QString prog1;
    int office;
    QStringList messages;
    bool written;
};

const SaveCase kSaves[] = {
    {"new programme with empty year", kCompany, 0, "", 1, {}, true},
    {"extension with year 0000", kCompany, 1, "0000", 1, {kPrograma}, false},
    {"no office", kCompany, 0, "", -1, {kOficina}, false},
    {"invalid RFC", kNoBlank, 0, "", 1, {kFirst}, false},
};

TEST_F(CommandsTest, SaveStepsOnABrandNewRecord) {
    for (const SaveCase& c : kSaves) {
        SCOPED_TRACE(c.name);
        form_.reset();
        db_.reset();
        std::filesystem::remove(dir_ / "datoprov.dbf");
        store::ensureDataDirectory(dir_);
        open();
        setRfc(c.rfc);
        form_->ValidaRFC();  // leaving the RFC box opens the band for a valid one
        boxes_->clear();
        form_->Combo1()->setCurrentIndex(c.combo1);
        edit("txtProg1")->setText(c.prog1);
        form_->Combo5()->setCurrentIndex(c.office);
        form_->SSTab1()->setCurrentIndex(2);
        form_->Command1_Click(1);
        settle();
        EXPECT_EQ(boxes_->texts(), c.messages);
        EXPECT_EQ(datoprovRows().size(), c.written ? 1u : 0u);
        const QString first = c.messages.value(0);
        EXPECT_EQ(form_->SSTab1()->currentIndex(), first == kOficina ? 0 : 2);
        if (first == kPrograma) {
            EXPECT_EQ(QApplication::focusWidget(), w("txtProg1"));
        }
        EXPECT_EQ(form_->dtsDatoProv.editMode(), c.written ? store::EditMode::Edit : store::EditMode::AddNew);
    }
}

// Records the pointer each box was shown under.
class PointerSpy : public ui::ScriptedMessageBoxes {
public:
    ui::Answer show(QWidget* p, const QString& text, const QString& title, ui::Icon icon,
                    ui::Buttons buttons) override {
        busy.push_back(QApplication::overrideCursor() != nullptr);
        return ScriptedMessageBoxes::show(p, text, title, icon, buttons);
    }
    std::vector<bool> busy;
};

TEST_F(CommandsTest, FailedSaveKeepsTableAndTypedValues) {
    // A catalogue whose office code is wider than CVEADMLOC cannot be stored.
    std::filesystem::remove(dir_ / "admlocal.dbf");
    using store::FieldType;
    store::DbfTable::createWithRows(dir_ / "admlocal.dbf",
                                    {{"CLAVE", FieldType::Numeric, 5, 0}, {"NOMBRE", FieldType::Character, 80, 0}},
                                    {{store::Value(12345), store::Value("OFICINA ANCHA")}});
    auto* spy = new PointerSpy;
    ui::MessageBoxService::install(std::unique_ptr<PointerSpy>(spy));
    boxes_ = spy;
    open();
    setRfc(kCompany);
    form_->ValidaRFC();
    edit("txtCalle")->setText(QStringLiteral("CALLE 1"));
    form_->Combo1()->setCurrentIndex(1);
    edit("txtProg1")->setText(QStringLiteral("0"));
    form_->Command1_Click(1);  // stopped by the year: shown under the busy pointer
    edit("txtProg1")->setText(QStringLiteral("2001"));
    form_->Combo5()->setCurrentIndex(0);
    form_->Command1_Click(1);
    ASSERT_EQ(spy->texts().size(), 2);
    EXPECT_TRUE(spy->texts()[1].contains(QStringLiteral("12345 no cabe"))) << spy->texts()[1].toStdString();
    EXPECT_EQ(spy->busy, (std::vector<bool>{true, false}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(datoprovRows().empty());
    EXPECT_EQ(edit("txtCalle")->text(), QStringLiteral("CALLE 1"));
    EXPECT_EQ(form_->dtsDatoProv.editMode(), store::EditMode::AddNew);
    for (int i : {8, -1, 10}) form_->Command1_Click(i);  // no button, no action
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(spy->texts().size(), 2);
}

TEST_F(CommandsTest, SavedRecordRoundTrips) {
    open();
    setRfc(kCompany);
    form_->ValidaRFC();
    const std::pair<const char*, const char*> texts[] = {
        {"txtApePat1", "EMPRESA SA"}, {"txtEmail1", "ventas@empresa.mx"}, {"txtCalle", "REFORMA 10"},
        {"txtColonia", "CENTRO"},     {"txtCP", "06000"},                 {"txtEstado", "CDMX"},
        {"txtCiudad", "MEXICO"},      {"txtDelMun", "CUAUHTEMOC"},        {"txtfax", "5555"},
        {"txtTelefono", "5556"},      {"txtApePatR2", "PEREZ"},           {"txtApeMatR2", "LOPEZ"},
        {"txtNombreR2", "ANA"},       {"txtcargo", "DIRECTORA"},          {"txtTelefonoR2", "5557"},
        {"txtFaxR2", "5558"},         {"EMAILREP", "ana@empresa.mx"},     {"txtProg1", "2001"},
        {"txtProg2", "15"},
    };
    form_->Combo1()->setCurrentIndex(1);
    for (const auto& [name, value] : texts) edit(name)->setText(QString::fromUtf8(value));
    form_->Combo5()->setCurrentIndex(2);
    form_->cmbActividad()->setCurrentIndex(1);
    tick(form_->chkProdFinal());
    tick(form_->chkrodIndirecto());
    button(1)->click();
    ASSERT_TRUE(boxes_->shown().empty()) << boxes_->texts().join('|').toStdString();

    boxes_->queue(ui::Answer::No);
    form_->close();
    EXPECT_EQ(boxes_->texts(), QStringList{QStringLiteral("Salvar los datos antes de salir?")});
    boxes_->clear();
    form_.reset();
    db_.reset();

    const auto rows = datoprovRows();
    ASSERT_EQ(rows.size(), 1u);
    const store::Row& r = rows[0];
    EXPECT_EQ(r[0].toString(), kCompany.toStdString());
    EXPECT_EQ(r[15].number(), 2);
    EXPECT_EQ(r[20].toString(), "14");
    EXPECT_EQ(r[21].number(), 3);
    EXPECT_EQ(r[22].number(), 311020);
    EXPECT_EQ(r[28].number(), 30);

    open();
    EXPECT_EQ(form_->MaskEdBox1()->maskedText(), kCompany);
    for (const auto& [name, value] : texts) EXPECT_EQ(edit(name)->text(), QString::fromUtf8(value)) << name;
    EXPECT_EQ(form_->Combo1()->currentText(), QString::fromUtf8("Ampliación"));
    EXPECT_EQ(form_->Combo5()->currentText(), QStringLiteral("OFICINA SUR"));
    EXPECT_EQ(form_->cmbActividad()->currentText(), QStringLiteral("HARINAS"));
    EXPECT_TRUE(form_->chkProdFinal()->isChecked());
    EXPECT_TRUE(form_->chkrodIndirecto()->isChecked());
    EXPECT_EQ(form_->TipoProg()->text(), QStringLiteral("3"));
    EXPECT_TRUE(boxes_->shown().empty()) << boxes_->texts().join(u'|').toStdString();
}

} // namespace
} // namespace form1test
