// ArmaCuestionario: the application questionnaire as one plain text, built
// from what the main window shows and from four of its data sources.
#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <map>

#include "store/datasource.h"

namespace ui {
class FormWindow;
}

namespace questionnaire {

// The main window's data sources that the builder walks; it changes their
// record sources and current rows.
struct Sources {
    store::DataSource& dtsplantas;
    store::DataSource& impsectro;
    store::DataSource& mercancias;
    store::DataSource& regprodind;
};

// What the builder reads of the main window: each control's displayed text
// by control name (Combo1, MaskEdBox1, txtApePat1, ...), unsaved edits
// included, plus the two check boxes and the procedure type's list position.
struct MainWindowState {
    std::map<QString, QString> texts;
    int combo1Index = 0;          // 0 "Programa nuevo", 1 "Ampliación"
    bool chkProdFinal = false;    // "Productor Directo" ticked
    bool chkrodIndirecto = false; // "Productor Indirecto" ticked
    QDate today = QDate::currentDate();
    QLocale locale = QLocale::system();  // gives the abbreviated month name

    QString text(const QString& control) const;  // empty when not there
};

// Reads the state above from the main window's controls, by name.
MainWindowState readMainWindow(const ui::FormWindow& main);

struct Questionnaire {
    QString text;         // lines end with a single line feed
    int titleLength = 0;  // characters of the title block at the start of text
};

// Builds the questionnaire. An empty record set is no error (it lists
// nothing); any other error of the data engine is thrown as store::StoreError
// and ends the build.
Questionnaire ArmaCuestionario(const MainWindowState& state, Sources& sources);

} // namespace questionnaire
