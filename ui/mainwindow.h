// What the other windows read of the main window. capture::Form1 gives it;
// app/ hands it to the annexes and the questionnaire, so that no window
// library links another and no window looks up another's controls by name.
#pragma once

#include <QString>

namespace ui {

// The main window as the operator sees it now, unsaved edits included. Each
// text is the one its control shows: a masked edit with every position,
// blanks included; a list with its current entry's text.
struct MainWindowState {
    // The texts the questionnaire prints.
    QString Combo1, txtProg1, txtProg2, MaskEdBox1, txtApePat1, txtCalle, txtColonia, txtCP, txtEstado, txtCiudad,
        txtDelMun, txtTelefono, txtfax, txtEmail1, cmbActividad, txtacredita, Combo5, txtApePatR2, txtApeMatR2,
        txtNombreR2, txtTelefonoR2, txtFaxR2, EMAILREP;
    // The texts the annexes read: the programme type (a sum of the flags 1,
    // 2 and 4), the maquila programme's number and year.
    QString TipoProg, txtnummaquila, txtañomaquila;
    int Combo1Index = 0;           // type of procedure: 0 "Programa nuevo", 1 "Ampliación", -1 none
    bool chkProdFinal = false;     // "Productor Directo" ticked (a grey box is not)
    bool chkrodIndirecto = false;  // "Productor Indirecto" ticked
};

class MainWindow {
public:
    virtual MainWindowState state() const = 0;

protected:
    ~MainWindow() = default;
};

}  // namespace ui
