// Connects the main window's buttons to the other windows.
#pragma once

class QWidget;
namespace capture {
class Form1;
}
namespace questionnaire {
class frmDocument;
}
namespace store {
class Database;
}

namespace app {

// Sets form.windows: the annexes window and the About box modal, the
// questionnaire and help windows not modal (asked again while open, they only
// come to the front).
void wireWindows(capture::Form1& form, store::Database& db);

// The document window of the main window ("Imprimir solicitud"): over its
// data sources, printing the data directory's considera.txt; a child of it.
questionnaire::frmDocument* newDocument(capture::Form1& form, store::Database& db);

}  // namespace app
