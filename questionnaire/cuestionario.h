// ArmaCuestionario: the application questionnaire as one plain text, built
// from what the main window shows and from four of its data sources.
#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

#include "store/datasource.h"
#include "ui/mainwindow.h"

namespace questionnaire {

// The main window's data sources that the builder walks; it changes their
// record sources and current rows.
struct Sources {
    store::DataSource& dtsplantas;
    store::DataSource& impsectro;
    store::DataSource& mercancias;
    store::DataSource& regprodind;
};

// What the builder reads: the main window as it stands, and the day of the
// signature with the locale that names its month.
struct Input {
    ui::MainWindowState main;
    QDate today = QDate::currentDate();
    QLocale locale = QLocale::system();  // gives the abbreviated month name
};

struct Questionnaire {
    QString text;         // lines end with a single line feed
    int titleLength = 0;  // characters of the title block at the start of text
};

// Builds the questionnaire. An empty record set is no error (it lists
// nothing); any other error of the data engine is thrown as store::StoreError
// and ends the build.
Questionnaire ArmaCuestionario(const Input& input, Sources& sources);

}  // namespace questionnaire
