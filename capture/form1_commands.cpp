// Form1: the picture buttons, their dispatcher, saving, editing, back to
// browsing, the hook of dtsDatoProv, and the checks valida and ValidaRequeridos.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QStyle>
#include <QTabWidget>
#include <optional>

#include "capture/checks.h"
#include "capture/form1.h"
#include "ui/binding.h"
#include "ui/busy.h"
#include "ui/codedcombo.h"
#include "ui/messagebox.h"

namespace capture {

namespace {

// A check box as the checks count it: 0 clear, 1 ticked, 2 grey.
int boxValue(const QCheckBox* box) {
    switch (box->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

// The selected entry's code as the record stores it; none without a selection.
std::optional<store::Value> selectedCode(const ui::CodedComboBox& list) {
    const QVariant code = list.currentCode();
    if (!code.isValid()) return std::nullopt;
    bool ok = false;
    const qlonglong n = code.toLongLong(&ok);
    if (ok) return store::Value(static_cast<double>(n));
    return store::Value(code.toString().toStdString());
}

void open(const std::function<void()>& window) {
    if (window) window();
}


} // namespace

void Form1::setupButtons() {
    // Any clear picture will do; the tool tips name the actions.
    const std::pair<int, QStyle::StandardPixmap> pictures[] = {
        {0, QStyle::SP_TrashIcon},           {1, QStyle::SP_DialogSaveButton},
        {2, QStyle::SP_DriveFDIcon},         {3, QStyle::SP_DialogDiscardButton},
        {4, QStyle::SP_MessageBoxInformation}, {5, QStyle::SP_DialogCancelButton},
        {6, QStyle::SP_FileDialogDetailedView}, {7, QStyle::SP_FileIcon},
        {9, QStyle::SP_MessageBoxQuestion},
    };
    for (const auto& picture : pictures) {
        const int index = picture.first;
        auto* button = as<QAbstractButton>(QStringLiteral("Command1"), index);
        if (!button) continue;
        button->setIcon(style()->standardIcon(picture.second));
        connect(button, &QAbstractButton::clicked, this, [this, index] { Command1_Click(index); });
    }
    if (auto* anexos = as<QAbstractButton>(QStringLiteral("Command2")))
        connect(anexos, &QAbstractButton::clicked, this, [this] { Command2_Click(); });

    // The data engine asks before dtsDatoProv moves to another row.
    dtsDatoProv.setValidateHook([this](store::Action action, bool&) { datoProvMoving(action); });
}

void Form1::Command1_Click(int index) {
    std::optional<QString> failure;
    {
        ui::BusyPointer busy;
        try {
            switch (index) {
            case 1: Grabar(); break;
            case 5: CancelarCambios(); break;
            case 6: Editar(); break;
            case 4: open(windows.frmayuda); break;
            case 7: open(windows.frmDocument); break;
            case 9: open(windows.frmAbout); break;
            case 0: BorraRegistros(); break;
            case 2: GeneraDisco(); break;
            case 3: BorraAnexos(); break;
            default: break;  // 8 and anything outside 0 to 9: no button, no action
            }
        } catch (const store::StoreError& e) {
            failure = QString::fromUtf8(e.what());
        }
    }
    // The engine's own message, under the normal pointer.
    if (failure) ui::message(this, *failure);
}

void Form1::Command2_Click() {
    ErrorValida = 0;
    valida();
    if (ErrorValida != 0) return;  // valida has said why
    tipoprograma();
    open(windows.Anexos);
}

void Form1::Grabar() {
    ValidaRFC();
    if (!RFCValido) return;

    if (Combo1()->currentIndex() == 1 && leadingNumber(text("txtProg1")->text()) == 0) {
        ui::message(this, QStringLiteral("Capture el número de programa"));
        text("txtProg1")->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (Combo5()->currentIndex() < 0) {
        ui::message(this, QStringLiteral("Capture la admon. local del proveedor"));
        SSTab1()->setCurrentIndex(0);  // the tab that holds Combo5
        return;
    }

    // The bound controls first, so that the values taken by position win over
    // the bound TipoProg; then the row is written without asking the hook.
    binding_->write();
    if (auto code = selectedCode(*Combo1())) dtsDatoProv.setField(15, *code);
    if (auto code = selectedCode(*Combo5())) dtsDatoProv.setField(28, *code);
    dtsDatoProv.setField(21, store::Value(static_cast<double>(leadingNumber(TipoProg()->text()))));
    if (auto code = selectedCode(*cmbActividad())) dtsDatoProv.setField(22, *code);
    dtsDatoProv.update(false);

    dtsDatoProv.moveToLastModified();
    dtsDatoProv.edit();
    control(QStringLiteral("Command1"), 3)->setEnabled(true);
}

void Form1::Editar() {
    if (!dtsDatoProv.eof() && !dtsDatoProv.bof()) {
        // The record is normally in editing already; editing it again would
        // re-read the row over what the operator typed and has not saved.
        if (dtsDatoProv.editMode() == store::EditMode::None) dtsDatoProv.edit();
        control(QStringLiteral("Command1"), 4)->setEnabled(true);
        Habilita(true);
        rfcTextChanged();
    }
    control(QStringLiteral("Command1"), 3)->setEnabled(false);
    control(QStringLiteral("Command1"), 6)->setEnabled(false);
}

void Form1::CancelarCambios() {
    if (Combo1()->currentIndex() < 0) return;
    control(QStringLiteral("Command1"), 3)->setEnabled(true);
    control(QStringLiteral("Command1"), 6)->setEnabled(true);
    control(QStringLiteral("Command1"), 4)->setEnabled(false);
    // Pending changes stay in the copy buffer: only the controls lock.
    Habilita(false);
}

void Form1::datoProvMoving(store::Action action) {
    switch (action) {
    case store::Action::MoveFirst:
    case store::Action::MovePrevious:
    case store::Action::MoveNext:
    case store::Action::MoveLast:
        Command1_Click(5);
        break;
    default:
        break;  // adding, saving, deleting, bookmarks and closing run nothing
    }
}

void Form1::valida() {
    ValidaRFC();
    ValidaInput in;
    in.rfcValid = RFCValido;
    in.chkProdFinal = boxValue(chkProdFinal());
    in.chkrodIndirecto = boxValue(chkrodIndirecto());
    in.chkAbastecedor = boxValue(chkAbastecedor());
    in.combo1Index = Combo1()->currentIndex();
    in.prog1 = text("txtProg1")->text();
    in.prog2 = text("txtProg2")->text();
    const ValidaResult r = capture::valida(in);
    if (!RFCValido) {
        // Back to the RFC box with the normal pointer, whoever set the busy one.
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
        unsetCursor();
    }
    ui::showMessages(this, r.messages);
    if (r.fault) ErrorValida = 1;
}

void Form1::ValidaRequeridos() {
    FaltanDatos = 0;
    ValidaRFC();  // its messages show; its outcome is not a missing field
    RequeridosInput in;
    in.combo1Index = Combo1()->currentIndex();
    in.prog1 = text("txtProg1")->text();
    in.prog2 = text("txtProg2")->text();
    in.apePat1 = text("txtApePat1")->text();
    in.calle = text("txtCalle")->text();
    in.cp = text("txtCP")->text();
    in.colonia = text("txtColonia")->text();
    in.telefono = text("txtTelefono")->text();
    in.combo5Index = Combo5()->currentIndex();
    in.chkProdFinal = boxValue(chkProdFinal());
    in.chkrodIndirecto = boxValue(chkrodIndirecto());
    in.nombreR2 = text("txtNombreR2")->text();
    in.cargo = text("txtcargo")->text();
    in.telefonoR2 = text("txtTelefonoR2")->text();
    in.emailRep = text("EMAILREP")->text();
    const RequeridosResult r = validaRequeridos(in);
    ui::showMessages(this, r.messages);
    if (r.missing) FaltanDatos = 1;
}

} // namespace capture
