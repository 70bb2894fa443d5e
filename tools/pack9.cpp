// pack9 TABLE...: removes the deleted rows of the named tables of the current
// directory. The main program starts it as
//   <dir>/pack9 DatoProv catdirpl Sector  mercbi
// so names are matched without regard to case, ".dbf" is added, and any run
// of blanks separates names, inside one argument as well as between them.
//
// Exit status: 0 every table packed, 1 some table failed, 2 no table named,
// 3 another program holds the data directory.
#include <cctype>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "store/database.h"
#include "store/datadir.h"
#include "store/dbf.h"
#include "store/platform/errors.h"
#include "store/platform/program.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> tableNames(const std::vector<std::string>& args) {
    std::vector<std::string> names;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string word;
        for (const char* p = args[i].c_str();; ++p) {
            if (*p == '\0' || std::isspace(static_cast<unsigned char>(*p))) {
                if (!word.empty())
                    names.push_back(word);
                word.clear();
                if (*p == '\0')
                    break;
            } else {
                word += *p;
            }
        }
    }
    return names;
}

}  // namespace

int main(int argc, char** argv) {
    store::platform::useUtf8Output();
    const std::vector<std::string> names = tableNames(store::platform::programArguments(argc, argv));
    if (names.empty()) {
        std::cerr << "Uso: pack9 TABLA...\n"
                     "Elimina los registros borrados de las tablas nombradas del directorio actual.\n";
        return 2;
    }

    std::error_code ec;
    const fs::path dir = fs::current_path(ec);
    if (ec) {
        std::cerr << "pack9: no se puede leer el directorio actual: " << store::platform::errorText(ec) << "\n";
        return 1;
    }

    std::unique_ptr<store::DirectoryLock> lock;
    try {
        lock = store::DirectoryLock::acquire(dir);
    } catch (const std::exception& e) {
        std::cerr << "pack9: " << store::platform::errorText(e) << "\n";
        return 1;
    }
    if (!lock) {
        std::cerr << store::lockedMessage(dir) << "\n";
        return 3;
    }

    const store::Database db(dir);
    bool allPacked = true;
    for (const std::string& name : names) {
        try {
            store::packTable(db.tableFile(name));
        } catch (const std::exception& e) {
            std::cerr << "pack9: " << name << ": " << store::platform::errorText(e) << "\n";
            allPacked = false;
        }
    }
    return allPacked ? 0 : 1;
}
