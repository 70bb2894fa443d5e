// zeltar-verifica [--csv] DIR...: checks disks for the ministry, or data
// directories, without changing them: the six tables present, readable and
// sound (the four packed ones without deleted rows), and every row through
// the checks the program applies when it is typed. One line per finding:
// table, row, field and the program's own message. With --csv, one CSV line
// per finding for many disks (one folder each), for the receiving office.
//
// Exit status: 0 nothing found, 1 findings, 2 a folder or a table could not
// be read (or the command line is wrong).
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "store/platform/program.h"
#include "tools/verify.h"

namespace {
constexpr const char* kUsage = "Uso: zeltar-verifica [--csv] CARPETA...";
}

int main(int argc, char** argv) {
    store::platform::useUtf8Output();
    const std::vector<std::string> args = store::platform::programArguments(argc, argv);
    bool csv = false;
    std::vector<std::filesystem::path> dirs;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            std::cout << kUsage << "\n"
                      << "Revisa las tablas de discos o carpetas de datos sin cambiarlas: las seis tablas del disco,\n"
                         "completas y legibles, y cada renglón con las validaciones de la captura. Una línea por\n"
                         "hallazgo; con --csv, una línea CSV por hallazgo. Termina con 0 si no halla nada, 1 si\n"
                         "halla algo y 2 si una carpeta o una tabla no se puede leer.\n";
            return 0;
        }
        if (args[i] == "--csv")
            csv = true;
        else
            dirs.emplace_back(std::u8string(args[i].begin(), args[i].end()));
    }
    if (dirs.empty()) {
        std::cerr << kUsage << "\n";
        return 2;
    }
    std::ios::sync_with_stdio(false);
    const std::vector<verify::Report> reports = verify::checkDirectories(dirs, std::thread::hardware_concurrency());
    std::string out;
    if (csv)
        // The byte-order mark lets spreadsheet programs read the accents as UTF-8.
        out += "\xEF\xBB\xBF" + std::string(verify::kCsvHeader) + "\r\n";
    for (const verify::Report& r : reports)
        for (const verify::Finding& f : r.findings)
            out += csv ? verify::csvLine(r, f) + "\r\n" : verify::line(r, f) + "\n";
    std::cout << out << std::flush;
    return verify::exitStatus(reports);
}
