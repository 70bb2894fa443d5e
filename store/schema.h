// Layouts of the seven tables of the data directory.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "dbf.h"

namespace store {

struct TableLayout {
    std::string name;              // file name without extension, as created
    std::vector<FieldDef> fields;  // in file order: positions are part of the format
};

// The fields of datoprov that the main window reaches by position, named
// after the fields the positions hold.
namespace datoprov {
inline constexpr std::size_t kTipoTram = 15;    // type of procedure: 1 new programme, 2 extension
inline constexpr std::size_t kCampo20 = 20;     // always the text "14"
inline constexpr std::size_t kTipoProg = 21;    // programme type: a sum of the flags 1, 2 and 4
inline constexpr std::size_t kCveActivid = 22;  // code of the activity (activida)
inline constexpr std::size_t kCveAdmLoc = 28;   // code of the local tax office (admlocal)
inline constexpr std::size_t kNumMaquila = 30;  // maquila programme number, 0 or null when none
inline constexpr std::size_t kAnoMaquila = 31;  // maquila programme year, 0 or null when none
}  // namespace datoprov

// The six tables of the disk for the ministry, in the order they are copied,
// with their names on the disk; the first four are packed before.
struct DiskTable {
    const char* table;
    const char* file;
    bool packed;
};
inline constexpr DiskTable kDiskTables[] = {
    {"datoprov", "datoprov.dbf", true}, {"catdirpl", "catdirpl.dbf", true},  {"Sector", "Sector.dbf", true},
    {"mercbi", "mercbi.dbf", true},     {"prodabas", "prodabas.dbf", false}, {"activida", "activida.dbf", false},
};

// datoprov, catdirpl, sector, mercbi, prodabas, admlocal, activida.
const std::vector<TableLayout>& tableLayouts();
const TableLayout& tableLayout(const std::string& name);  // case-insensitive; throws

}  // namespace store
