// The main capture window: the one record of datoprov, the plants grid, the
// row of command buttons, and the procedures the other windows call.
#pragma once

#include <QPointer>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "store/database.h"
#include "store/datasource.h"
#include "ui/formwindow.h"
#include "ui/mainwindow.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QTabWidget;

namespace ui {
class Binding;
class CodedComboBox;
class DataGrid;
class GridRules;
class KeyPipeline;
class MaskedEdit;
}  // namespace ui

namespace capture {

class Form1 : public ui::FormWindow, public ui::MainWindow {
    Q_OBJECT
public:
    // Builds the window and runs its start-up on the tables of `db`. A failing
    // start-up shows the data engine's message; loadFailed() then says so.
    explicit Form1(store::Database& db, QWidget* parent = nullptr);
    ~Form1() override;

    bool loadFailed() const { return loadFailed_; }

    // The controls the procedures use, found once when the window is built.
    ui::MaskedEdit* const MaskEdBox1;
    QLineEdit* const txtProg1;
    QLineEdit* const txtProg2;
    QLineEdit* const txtacredita;
    ui::CodedComboBox* const Combo1;
    ui::MaskedEdit* const txtnummaquila;
    ui::MaskedEdit* const txtañomaquila;
    QLineEdit* const txtApePat1;
    QLineEdit* const txtApemat1;
    QLineEdit* const txtnombre1;
    QLineEdit* const txtEmail1;
    ui::CodedComboBox* const cmbActividad;
    QTabWidget* const SSTab1;
    QLineEdit* const txtCalle;
    QLineEdit* const txtColonia;
    QLineEdit* const txtCP;
    QLineEdit* const txtEstado;
    QLineEdit* const txtCiudad;
    ui::CodedComboBox* const Combo5;
    QLineEdit* const txtAdmLocal;
    QLineEdit* const txtDelMun;
    QLineEdit* const txtfax;
    QLineEdit* const txtTelefono;
    ui::DataGrid* const dbgplantas;
    QCheckBox* const chkProdFinal;
    QCheckBox* const chkrodIndirecto;
    QCheckBox* const chkAbastecedor;
    QLineEdit* const TipoProg;
    QLineEdit* const txtApePatR2;
    QLineEdit* const txtApeMatR2;
    QLineEdit* const txtNombreR2;
    QLineEdit* const txtcargo;
    QLineEdit* const txtTelefonoR2;
    QLineEdit* const txtFaxR2;
    QLineEdit* const EMAILREP;
    QAbstractButton* const Command2;
    const std::array<QAbstractButton*, 10> Command1;  // by Command; element 8 does not exist (nullptr)

    // Data sources of the window.
    store::DataSource dtsDatoProv;
    store::DataSource dtsplantas;
    store::DataSource Data1;
    store::DataSource dtsacti;
    store::DataSource impsectro;
    store::DataSource mercancias;
    store::DataSource regprodind;

    // Flags of the checks.
    bool RFCValido = false;
    std::int16_t ErrorValida = 0;
    std::int16_t FaltanDatos = 0;

    // Prepares the record of datoprov for editing; stops silently at its first error.
    void Nuevo();
    // Selects, entry by entry, the entry of `list` whose code equals `value`.
    void busca(QComboBox& list, const store::Value& value);
    // Enables or disables the controls whose tab place is 8 to 34.
    void Habilita(bool SN);
    // TipoProg from the programme-type check boxes.
    void tipoprograma();
    // The RFC check: messages, RFCValido, focus back on a fault, Habilita.
    void ValidaRFC();
    // The text-changed rule of the RFC box (person-name fields).
    void rfcTextChanged();

    // The elements of the Command1 button row, by the action each runs (there
    // is no element 8).
    enum Command : int {
        kDeleteAll = 0,      // "Borrar toda la información": BorraRegistros
        kSave = 1,           // "Grabar datos"
        kMakeDisk = 2,       // "Generar disco  para Quentaria": makeDisk
        kDeleteAnnexes = 3,  // "Borra Anexos": BorraAnexos
        kHelp = 4,           // "Consideraciones generales": frmayuda
        kCancelChanges = 5,  // "Cancelar cambios"
        kEdit = 6,           // "Editar Datos"
        kPrint = 7,          // "Imprimir solicitud": frmDocument
        kAbout = 9,          // "Acerca de..": frmAbout
    };
    // The dispatcher of the Command1 picture buttons; also run directly (the
    // data source hook runs kCancelChanges, the disk generation kSave). An
    // index without a button runs nothing.
    void Command1_Click(int index);
    // "A N E X O S": valida, then tipoprograma and the annexes window.
    void Command2_Click();

    // The other windows, opened by the buttons. The program sets them; the
    // main window knows nothing else of those windows.
    struct Windows {
        std::function<void()> Anexos;       // modal: returns when it is closed
        std::function<void()> frmDocument;  // not modal
        std::function<void()> frmayuda;     // not modal
        std::function<void()> frmAbout;     // modal
    } windows;

    // Where the disk is written and how the tables are packed before. The
    // program sets them; a missing target directory means no diskette.
    std::filesystem::path diskette;  // the diskette's root ("drive A:")
    std::filesystem::path pack9;     // the packing program
    std::string pack9Environment;    // NAME=VALUE letting it past our lock; may be empty

    // "Borrar toda la información" and "Borra Anexos", each after its question.
    void BorraRegistros();
    void BorraAnexos();
    // "Generar disco  para Quentaria": save, check, pack, copy, re-read.
    void makeDisk();
    // Whether the disk may be written: its folder apart from the data
    // directory and no table to copy damaged; else says why.
    bool diskCanBeWritten();

    // Before the annexes open: RFC, programme type, year and number of an
    // extension. Sets ErrorValida to 1 on a fault and never back to 0.
    void valida();
    // Before the disk is written: every missing required field, one message
    // each. FaltanDatos is 1 when anything is missing, else 0.
    void ValidaRequeridos();

    ui::Binding& binding() { return *binding_; }
    ui::KeyPipeline& keys() { return *keys_; }

    // What the other windows read of this one.
    ui::MainWindowState state() const override;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openDataSources();
    void startUp();
    void fillCodedList(store::DataSource& src, ui::CodedComboBox& list, int textPos);
    void checksFromTipoProg();
    void combo1Selected(int index);
    void leaveActividad();
    void leaveProg2();
    void setupBindings();
    void setupButtons();
    // The dispatcher's own actions.
    void save();           // 1 "Grabar datos"
    void cancelChanges();  // 5 "Cancelar cambios"
    void startEditing();   // 6 "Editar Datos"
    void datoProvMoving(store::Action action);
    void setupKeyFilters();
    void setupPlantsGrid();
    // Writes the bound controls into the copy buffer, then one field by position,
    // so that the data source's re-read does not lose what the operator typed.
    void setRecordField(std::size_t pos, store::Value v);
    // Runs an event's action; an error of the data engine ends it with the engine's message.
    void guarded(const std::function<void()>& action);
    // Puts the focus on a control once the current event has been handled.
    void focusLater(QWidget* w);

    std::unique_ptr<ui::Binding> binding_;
    std::unique_ptr<ui::GridRules> plantRows_;  // the rules of dbgplantas
    ui::KeyPipeline* keys_ = nullptr;
    bool loadFailed_ = false;
    bool rfcChecking_ = false;
};

}  // namespace capture
