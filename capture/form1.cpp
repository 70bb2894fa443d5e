// Form1: construction, start-up, Nuevo, busca, Habilita, tipoprograma, the
// reactions of the lists and the tab control, and closing.
#include "capture/form1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>

#include "store/schema.h"
#include "ui/binding.h"
#include "ui/codedcombo.h"
#include "ui/damage.h"
#include "ui/datagrid.h"
#include "ui/keys.h"
#include "ui/layouts/form1.h"
#include "ui/maskededit.h"
#include "ui/messagebox.h"

namespace capture {

using namespace store::datoprov;

namespace {

QString qs(const store::Value& v) { return QString::fromStdString(v.toString()); }

// The code a catalogue row gives its list entry (a whole number, as the lists
// store it); a text that is not a number stays text.
QVariant entryCode(const store::Value& v) {
    if (v.isNumber())
        return QVariant(static_cast<qlonglong>(v.number()));
    const QString t = qs(v).trimmed();
    bool ok = false;
    const qlonglong n = t.toLongLong(&ok);
    return ok ? QVariant(n) : QVariant(t);
}

// The row of picture buttons by element; there is no element 8.
std::array<QAbstractButton*, 10> buttonRow(const ui::FormWindow& w) {
    std::array<QAbstractButton*, 10> row{};
    for (int i = 0; i < 10; ++i)
        if (i != 8)
            row[std::size_t(i)] = w.require<QAbstractButton>("Command1", i);
    return row;
}

}  // namespace

Form1::Form1(store::Database& db, QWidget* parent)
    : ui::FormWindow(ui::form1Layout(), parent),
      MaskEdBox1(require<ui::MaskedEdit>("MaskEdBox1")),
      txtProg1(require<QLineEdit>("txtProg1")),
      txtProg2(require<QLineEdit>("txtProg2")),
      txtacredita(require<QLineEdit>("txtacredita")),
      Combo1(require<ui::CodedComboBox>("Combo1")),
      txtnummaquila(require<ui::MaskedEdit>("txtnummaquila")),
      txtañomaquila(require<ui::MaskedEdit>("txtañomaquila")),
      txtApePat1(require<QLineEdit>("txtApePat1")),
      txtApemat1(require<QLineEdit>("txtApemat1")),
      txtnombre1(require<QLineEdit>("txtnombre1")),
      txtEmail1(require<QLineEdit>("txtEmail1")),
      cmbActividad(require<ui::CodedComboBox>("cmbActividad")),
      SSTab1(require<QTabWidget>("SSTab1")),
      txtCalle(require<QLineEdit>("txtCalle")),
      txtColonia(require<QLineEdit>("txtColonia")),
      txtCP(require<QLineEdit>("txtCP")),
      txtEstado(require<QLineEdit>("txtEstado")),
      txtCiudad(require<QLineEdit>("txtCiudad")),
      Combo5(require<ui::CodedComboBox>("Combo5")),
      txtAdmLocal(require<QLineEdit>("txtAdmLocal")),
      txtDelMun(require<QLineEdit>("txtDelMun")),
      txtfax(require<QLineEdit>("txtfax")),
      txtTelefono(require<QLineEdit>("txtTelefono")),
      dbgplantas(require<ui::DataGrid>("dbgplantas")),
      chkProdFinal(require<QCheckBox>("chkProdFinal")),
      chkrodIndirecto(require<QCheckBox>("chkrodIndirecto")),
      chkAbastecedor(require<QCheckBox>("chkAbastecedor")),
      TipoProg(require<QLineEdit>("TipoProg")),
      txtApePatR2(require<QLineEdit>("txtApePatR2")),
      txtApeMatR2(require<QLineEdit>("txtApeMatR2")),
      txtNombreR2(require<QLineEdit>("txtNombreR2")),
      txtcargo(require<QLineEdit>("txtcargo")),
      txtTelefonoR2(require<QLineEdit>("txtTelefonoR2")),
      txtFaxR2(require<QLineEdit>("txtFaxR2")),
      EMAILREP(require<QLineEdit>("EMAILREP")),
      Command2(require<QAbstractButton>("Command2")),
      Command1(buttonRow(*this)),
      dtsDatoProv(db, "FoxPro 2.5;", "datoprov"),
      dtsplantas(db, "dBASE III;", "catdirpl"),
      Data1(db, "dBASE III;", "admlocal"),
      dtsacti(db, "dBASE III;", "activida"),
      impsectro(db, "dBASE III;", "sector"),
      mercancias(db, "dBASE III;", "mercbi"),
      regprodind(db, "dBASE III;", "prodabas") {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(layout().caption));

    binding_ = std::make_unique<ui::Binding>(dtsDatoProv, this);
    keys_ = new ui::KeyPipeline(this);

    for (int i = 0; i < ui::form1ProcedureCount(); ++i) {
        const auto& e = ui::form1Procedures()[i];
        Combo1->addCoded(QString::fromUtf8(e.text), e.code);
    }
    Combo1->setCurrentIndex(-1);
    connect(Combo1, &QComboBox::currentIndexChanged, this, &Form1::combo1Selected);
    for (QCheckBox* box : {chkProdFinal, chkrodIndirecto})
        connect(box, &QCheckBox::toggled, this, [this] { tipoprograma(); });
    connect(SSTab1, &QTabWidget::currentChanged, this, [this](int tab) {
        if (tab == ui::kForm1SectorsTab)
            checksFromTipoProg();
    });
    // txtAdmLocal shows COLONIA too; it follows txtColonia so that saving
    // both bound boxes never writes back a stale colonia.
    connect(txtColonia, &QLineEdit::textChanged, txtAdmLocal, &QLineEdit::setText);
    connect(MaskEdBox1, &QLineEdit::textChanged, this, [this] { rfcTextChanged(); });
    for (QWidget* w : std::initializer_list<QWidget*>{MaskEdBox1, txtProg2, cmbActividad})
        w->installEventFilter(this);

    setupButtons();
    setupKeyFilters();
    ui::askAboutDamagedTables(db, this);

    try {
        openDataSources();
        setupBindings();
        setupPlantsGrid();
        startUp();
    } catch (const store::StoreError& e) {
        // The start-up ends with the engine's message; the program then stops.
        loadFailed_ = true;
        ui::message(this, QString::fromUtf8(e.what()));
    }
}

// The grid outlives this part of the window (the base class deletes it):
// nothing of it may reach the rules or the data sources meanwhile.
Form1::~Form1() {
    dtsDatoProv.database().setDamageHandler(nullptr);
    dbgplantas->setRules(nullptr);
    dbgplantas->setDataSource(nullptr);
}

ui::MainWindowState Form1::state() const {
    ui::MainWindowState s;
    s.Combo1 = Combo1->currentText();
    s.txtProg1 = txtProg1->text();
    s.txtProg2 = txtProg2->text();
    s.MaskEdBox1 = MaskEdBox1->maskedText();  // every position, blanks included
    s.txtApePat1 = txtApePat1->text();
    s.txtCalle = txtCalle->text();
    s.txtColonia = txtColonia->text();
    s.txtCP = txtCP->text();
    s.txtEstado = txtEstado->text();
    s.txtCiudad = txtCiudad->text();
    s.txtDelMun = txtDelMun->text();
    s.txtTelefono = txtTelefono->text();
    s.txtfax = txtfax->text();
    s.txtEmail1 = txtEmail1->text();
    s.cmbActividad = cmbActividad->currentText();
    s.txtacredita = txtacredita->text();
    s.Combo5 = Combo5->currentText();
    s.txtApePatR2 = txtApePatR2->text();
    s.txtApeMatR2 = txtApeMatR2->text();
    s.txtNombreR2 = txtNombreR2->text();
    s.txtTelefonoR2 = txtTelefonoR2->text();
    s.txtFaxR2 = txtFaxR2->text();
    s.EMAILREP = EMAILREP->text();
    s.TipoProg = TipoProg->text();
    s.txtnummaquila = txtnummaquila->text();
    s.txtañomaquila = txtañomaquila->text();
    s.Combo1Index = Combo1->currentIndex();
    s.chkProdFinal = chkProdFinal->checkState() == Qt::Checked;
    s.chkrodIndirecto = chkrodIndirecto->checkState() == Qt::Checked;
    return s;
}

void Form1::openDataSources() {
    for (store::DataSource* s : {&dtsDatoProv, &dtsplantas, &Data1, &dtsacti, &impsectro, &mercancias, &regprodind})
        s->refresh();
}

void Form1::setupBindings() {
    for (QWidget* w : controls()) {
        const ui::ControlSpec* s = entry(w);
        if (!s || !s->field)
            continue;
        if (s->kind == ui::Kind::TextBox || s->kind == ui::Kind::MaskedEdit || s->kind == ui::Kind::CheckBox)
            binding_->bind(w, QString::fromUtf8(s->field));
    }
    binding_->read();
}

void Form1::startUp() {
    // 1-2: the offices, in file order; the row count is exact after a move to the last row.
    Data1.setRecordSource("admlocal");
    Data1.refresh();
    if (!Data1.eof()) {
        Data1.moveLast();
        Data1.moveFirst();
    }
    fillCodedList(Data1, *Combo5, 1);

    // 3
    mercancias.setRecordSource("select * from  mercbi order by idsector, tipobien ");
    mercancias.refresh();
    impsectro.setRecordSource("select * from  SECTOR ");
    impsectro.refresh();

    // 4-5: the activities.
    dtsacti.setRecordSource("select * from activida");
    dtsacti.refresh();
    if (!dtsacti.eof()) {
        dtsacti.moveLast();
        dtsacti.moveFirst();
    }
    fillCodedList(dtsacti, *cmbActividad, 2);

    // 6
    dtsDatoProv.refresh();
    impsectro.refresh();

    // 7-8
    checksFromTipoProg();
    Nuevo();
}

// Every row of the record set becomes an entry: the text of position
// `textPos`, the code of position 0. Then the first entry is selected.
void Form1::fillCodedList(store::DataSource& src, ui::CodedComboBox& list, int textPos) {
    list.clear();
    while (!src.eof()) {
        list.addCoded(qs(src.field(static_cast<std::size_t>(textPos))), entryCode(src.field(std::size_t{0})));
        src.moveNext();
    }
    if (list.count() > 0)
        list.setCurrentIndex(0);
}

void Form1::checksFromTipoProg() {
    const QString t = TipoProg->text();
    if (t == QLatin1String("1")) {
        chkProdFinal->setChecked(true);
    } else if (t == QLatin1String("2")) {
        chkrodIndirecto->setChecked(true);
    } else if (t == QLatin1String("3")) {
        chkProdFinal->setChecked(true);
        chkrodIndirecto->setChecked(true);
    }
}

void Form1::tipoprograma() {
    int sum = 0;
    if (chkProdFinal->isChecked())
        sum += 1;
    if (chkrodIndirecto->isChecked())
        sum += 2;
    if (chkAbastecedor->isChecked())
        sum += 4;
    TipoProg->setText(QString::number(sum));
}

void Form1::Nuevo() {
    try {
        SSTab1->setCurrentIndex(0);
        if (dtsDatoProv.eof()) {
            dtsDatoProv.addNew();
            Habilita(false);
            Combo1->setCurrentIndex(0);
            setRecordField(kCampo20, store::Value("14"));
            Combo1->setCurrentIndex(0);
            cmbActividad->setCurrentIndex(0);
            Combo5->setCurrentIndex(-1);
        } else {
            dtsDatoProv.edit();
            busca(*Combo1, dtsDatoProv.field(kTipoTram));
            busca(*cmbActividad, dtsDatoProv.field(kCveActivid));
            busca(*Combo5, dtsDatoProv.field(kCveAdmLoc));
            // A maquila value of 0 shows as empty text; a null one too, rather
            // than ending the preparation before position 20 is set.
            auto maquila = [](const store::Value& v) {
                if (v.isNull())
                    return QString();
                if (v.isNumber() && v.number() == 0)
                    return QString();
                if (v.isText() && qs(v).trimmed() == QLatin1String("0"))
                    return QString();
                return qs(v);
            };
            txtnummaquila->setMaskedText(maquila(dtsDatoProv.field(kNumMaquila)));
            txtañomaquila->setMaskedText(maquila(dtsDatoProv.field(kAnoMaquila)));
            setRecordField(kCampo20, store::Value("14"));
        }
    } catch (...) {
        // Nuevo stops at its first error without a message; what it did stays.
    }
}

void Form1::busca(QComboBox& list, const store::Value& value) {
    const QString wanted = value.isNull() ? QString() : qs(value).trimmed().toUpper();
    for (int i = 0; i < list.count(); ++i) {
        list.setCurrentIndex(i);
        if (value.isNull())
            continue;
        if (list.itemData(i).toString().trimmed().toUpper() == wanted)
            break;
    }
}

void Form1::Habilita(bool SN) {
    for (QWidget* w : controls()) {
        const int tab = tabPlace(w);
        if (tab >= ui::kHabilitaFirstTab && tab <= ui::kHabilitaLastTab)
            w->setEnabled(SN);
    }
}

void Form1::combo1Selected(int index) {
    if (index < 0)
        return;
    const bool enable = index != 0;
    txtProg1->setEnabled(enable);
    txtProg2->setEnabled(enable);
}

void Form1::leaveActividad() {
    guarded([this] {
        if (auto code = cmbActividad->currentValue())
            setRecordField(kCveActivid, *code);
    });
}

void Form1::setRecordField(std::size_t pos, store::Value v) {
    if (dtsDatoProv.editMode() != store::EditMode::None)
        binding_->write();
    dtsDatoProv.setField(pos, std::move(v));
}

void Form1::guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const store::StoreError& e) {
        ui::message(this, QString::fromUtf8(e.what()));
    }
}

void Form1::focusLater(QWidget* w) {
    QPointer<QWidget> target(w);
    QTimer::singleShot(0, this, [target] {
        if (target)
            target->setFocus(Qt::OtherFocusReason);
    });
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // The window losing activation (a message box, another program) or a
        // popup is not the operator leaving the control.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && isVisible()) {
            if (watched == MaskEdBox1) {
                if (!rfcChecking_)
                    ValidaRFC();
            } else if (watched == txtProg2) {
                leaveProg2();
            } else if (watched == cmbActividad) {
                leaveActividad();
            }
        }
    }
    return ui::FormWindow::eventFilter(watched, event);
}

void Form1::closeEvent(QCloseEvent* e) {
    // A plant typed and not yet written goes in as leaving its row would; one
    // that cannot go in keeps the window open with its message, until the
    // operator corrects it or drops it (Escape).
    if (dbgplantas->rowDirty() && !dbgplantas->commitRow()) {
        for (int t = 0; t < SSTab1->count(); ++t)
            if (SSTab1->widget(t)->isAncestorOf(dbgplantas))
                SSTab1->setCurrentIndex(t);
        dbgplantas->setFocus();
        e->ignore();
        return;
    }
    if (dtsDatoProv.editMode() == store::EditMode::Edit) {
        const ui::Answer a = ui::message(this, QStringLiteral("Salvar los datos antes de salir?"),
                                         QStringLiteral("ATENCION"), ui::Icon::None, ui::Buttons::YesNoCancel);
        if (a == ui::Answer::Cancel) {
            e->ignore();
            return;
        }
        if (a == ui::Answer::Yes) {
            try {
                binding_->save();
            } catch (const store::StoreError& err) {
                // The changes could not be written: keep the window so nothing is lost.
                ui::message(this, QString::fromUtf8(err.what()));
                e->ignore();
                return;
            }
        }
    }
    e->accept();
}

}  // namespace capture
