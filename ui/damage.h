// Damaged tables told to the operator as they are opened or re-read: what is
// wrong, and the choice between repairing the table now and only reading it
// until the program closes.
#pragma once

class QWidget;

namespace store {
class Database;
}

namespace ui {

// From now on every table of `db` found damaged is told in a message box over
// `parent`, which asks whether to repair it (Yes) or keep it read-only (No).
void askAboutDamagedTables(store::Database& db, QWidget* parent);

}  // namespace ui
