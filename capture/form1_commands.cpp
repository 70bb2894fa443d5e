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
#include "store/schema.h"
#include "ui/binding.h"
#include "ui/busy.h"
#include "ui/codedcombo.h"
#include "ui/messagebox.h"

namespace capture {

using namespace store::datoprov;

namespace {

// A check box as the checks count it: 0 clear, 1 ticked, 2 grey.
int boxValue(const QCheckBox* box) {
    switch (box->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

void open(const std::function<void()>& window) {
    if (window)
        window();
}

}  // namespace

void Form1::setupButtons() {
    // Any clear picture will do; the tool tips name the actions.
    const std::pair<Command, QStyle::StandardPixmap> pictures[] = {
        {kDeleteAll, QStyle::SP_TrashIcon},         {kSave, QStyle::SP_DialogSaveButton},
        {kMakeDisk, QStyle::SP_DriveFDIcon},        {kDeleteAnnexes, QStyle::SP_DialogDiscardButton},
        {kHelp, QStyle::SP_MessageBoxInformation},  {kCancelChanges, QStyle::SP_DialogCancelButton},
        {kEdit, QStyle::SP_FileDialogDetailedView}, {kPrint, QStyle::SP_FileIcon},
        {kAbout, QStyle::SP_MessageBoxQuestion},
    };
    for (const auto& [index, picture] : pictures) {
        QAbstractButton* button = Command1[index];
        button->setIcon(style()->standardIcon(picture));
        connect(button, &QAbstractButton::clicked, this, [this, index = index] { Command1_Click(index); });
    }
    connect(Command2, &QAbstractButton::clicked, this, [this] { Command2_Click(); });

    // The data engine asks before dtsDatoProv moves to another row.
    dtsDatoProv.setValidateHook([this](store::Action action) {
        datoProvMoving(action);
        return true;  // the move goes on
    });
}

void Form1::Command1_Click(int index) {
    std::optional<QString> failure;
    {
        ui::BusyPointer busy;
        try {
            switch (index) {
            case kSave: save(); break;
            case kCancelChanges: cancelChanges(); break;
            case kEdit: startEditing(); break;
            case kHelp: open(windows.frmayuda); break;
            case kPrint: open(windows.frmDocument); break;
            case kAbout: open(windows.frmAbout); break;
            case kDeleteAll: BorraRegistros(); break;
            case kMakeDisk: makeDisk(); break;
            case kDeleteAnnexes: BorraAnexos(); break;
            default: break;  // 8 and anything outside 0 to 9: no button, no action
            }
        } catch (const store::StoreError& e) {
            failure = QString::fromUtf8(e.what());
        }
    }
    // The engine's own message, under the normal pointer.
    if (failure)
        ui::message(this, *failure);
}

void Form1::Command2_Click() {
    ErrorValida = 0;
    valida();
    if (ErrorValida != 0)
        return;  // valida has said why
    tipoprograma();
    open(windows.Anexos);
}

void Form1::save() {
    ValidaRFC();
    if (!RFCValido)
        return;

    if (Combo1->currentIndex() == 1 && leadingNumber(txtProg1->text()) == 0) {
        ui::message(this, QStringLiteral("Capture el número de programa"));
        txtProg1->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (Combo5->currentIndex() < 0) {
        ui::message(this, QStringLiteral("Capture la admon. local del proveedor"));
        SSTab1->setCurrentIndex(0);  // the tab that holds Combo5
        return;
    }

    // The bound controls first, so that the values taken by position win over
    // the bound TipoProg; then the row is written without asking the hook.
    binding_->write();
    if (auto code = Combo1->currentValue())
        dtsDatoProv.setField(kTipoTram, *code);
    if (auto code = Combo5->currentValue())
        dtsDatoProv.setField(kCveAdmLoc, *code);
    dtsDatoProv.setField(kTipoProg, store::Value(static_cast<double>(leadingNumber(TipoProg->text()))));
    if (auto code = cmbActividad->currentValue())
        dtsDatoProv.setField(kCveActivid, *code);
    dtsDatoProv.update(false);

    dtsDatoProv.moveToLastModified();
    dtsDatoProv.edit();
    Command1[kDeleteAnnexes]->setEnabled(true);
}

void Form1::startEditing() {
    if (!dtsDatoProv.eof() && !dtsDatoProv.bof()) {
        // The record is normally in editing already; editing it again would
        // re-read the row over what the operator typed and has not saved.
        if (dtsDatoProv.editMode() == store::EditMode::None)
            dtsDatoProv.edit();
        Command1[kHelp]->setEnabled(true);
        Habilita(true);
        rfcTextChanged();
    }
    Command1[kDeleteAnnexes]->setEnabled(false);
    Command1[kEdit]->setEnabled(false);
}

void Form1::cancelChanges() {
    if (Combo1->currentIndex() < 0)
        return;
    Command1[kDeleteAnnexes]->setEnabled(true);
    Command1[kEdit]->setEnabled(true);
    Command1[kHelp]->setEnabled(false);
    // Pending changes stay in the copy buffer: only the controls lock.
    Habilita(false);
}

void Form1::datoProvMoving(store::Action action) {
    switch (action) {
    case store::Action::MoveFirst:
    case store::Action::MovePrevious:
    case store::Action::MoveNext:
    case store::Action::MoveLast: Command1_Click(kCancelChanges); break;
    default: break;  // adding, saving, deleting, bookmarks and closing run nothing
    }
}

void Form1::valida() {
    ValidaRFC();
    ValidaInput in;
    in.rfcValid = RFCValido;
    in.chkProdFinal = boxValue(chkProdFinal);
    in.chkrodIndirecto = boxValue(chkrodIndirecto);
    in.chkAbastecedor = boxValue(chkAbastecedor);
    in.combo1Index = Combo1->currentIndex();
    in.prog1 = txtProg1->text();
    in.prog2 = txtProg2->text();
    const ValidaResult r = capture::valida(in);
    if (!RFCValido) {
        // Back to the RFC box with the normal pointer, whoever set the busy one.
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
        unsetCursor();
    }
    ui::showMessages(this, r.messages);
    if (r.fault)
        ErrorValida = 1;
}

void Form1::ValidaRequeridos() {
    FaltanDatos = 0;
    ValidaRFC();  // its messages show; its outcome is not a missing field
    RequeridosInput in;
    in.combo1Index = Combo1->currentIndex();
    in.prog1 = txtProg1->text();
    in.prog2 = txtProg2->text();
    in.apePat1 = txtApePat1->text();
    in.calle = txtCalle->text();
    in.cp = txtCP->text();
    in.colonia = txtColonia->text();
    in.telefono = txtTelefono->text();
    in.combo5Index = Combo5->currentIndex();
    in.chkProdFinal = boxValue(chkProdFinal);
    in.chkrodIndirecto = boxValue(chkrodIndirecto);
    in.nombreR2 = txtNombreR2->text();
    in.cargo = txtcargo->text();
    in.telefonoR2 = txtTelefonoR2->text();
    in.emailRep = EMAILREP->text();
    const RequeridosResult r = validaRequeridos(in);
    ui::showMessages(this, r.messages);
    if (r.missing)
        FaltanDatos = 1;
}

}  // namespace capture
