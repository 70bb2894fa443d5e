// Layouts of the seven tables of the data directory.
#pragma once

#include <string>
#include <vector>

#include "dbf.h"

namespace store {

struct TableLayout {
    std::string name;             // file name without extension, as created
    std::vector<FieldDef> fields; // in file order: positions are part of the format
};

// datoprov, catdirpl, sector, mercbi, prodabas, admlocal, activida.
const std::vector<TableLayout>& tableLayouts();
const TableLayout& tableLayout(const std::string& name);  // case-insensitive; throws

} // namespace store
