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
#include <optional>
#include <string>
#include <vector>

#include "store/datadir.h"
#include "store/dbf.h"

namespace fs = std::filesystem;

namespace {

std::string upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> tableNames(int argc, char** argv) {
    std::vector<std::string> names;
    for (int i = 1; i < argc; ++i) {
        std::string word;
        for (const char* p = argv[i];; ++p) {
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

std::optional<fs::path> findTable(const fs::path& dir, const std::string& name) {
    std::string wanted = upper(name);
    if (wanted.size() < 4 || wanted.compare(wanted.size() - 4, 4, ".DBF") != 0)
        wanted += ".DBF";
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        if (upper(it->path().filename().string()) == wanted && it->is_regular_file(ec))
            return it->path();
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> names = tableNames(argc, argv);
    if (names.empty()) {
        std::cerr << "Uso: pack9 TABLA...\n"
                     "Elimina los registros borrados de las tablas nombradas del directorio actual.\n";
        return 2;
    }

    std::error_code ec;
    const fs::path dir = fs::current_path(ec);
    if (ec) {
        std::cerr << "pack9: no se puede leer el directorio actual: " << ec.message() << "\n";
        return 1;
    }

    std::unique_ptr<store::DirectoryLock> lock;
    try {
        lock = store::DirectoryLock::acquire(dir);
    } catch (const std::exception& e) {
        std::cerr << "pack9: " << e.what() << "\n";
        return 1;
    }
    if (!lock) {
        std::cerr << store::lockedMessage(dir) << "\n";
        return 3;
    }

    bool allPacked = true;
    for (const std::string& name : names) {
        std::optional<fs::path> file = findTable(dir, name);
        if (!file) {
            std::cerr << "pack9: no existe la tabla " << name << " en " << dir.string() << "\n";
            allPacked = false;
            continue;
        }
        try {
            store::packTable(*file);
        } catch (const std::exception& e) {
            std::cerr << "pack9: no se pudo compactar " << file->filename().string() << ": " << e.what() << "\n";
            allPacked = false;
        }
    }
    return allPacked ? 0 : 1;
}
