// zeltar-verifica's checks of a disk or a data directory, which change
// nothing: the tables of the disk (present, readable, sound, the packed ones
// without deleted rows) and every row through the checks the program applies
// when the row is typed (rules/checks.h).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace verify {

struct Finding {
    std::string table;    // the file's name ("mercbi.dbf"); empty for the folder itself
    std::size_t row = 0;  // the record's number in the file, from 1; 0 for the table as a whole
    std::string field;    // the field at fault; empty when none in particular
    std::string message;  // the program's own message where it has one (UTF-8)
};

struct Report {
    std::filesystem::path dir;
    std::vector<Finding> findings;
    bool unreadable = false;  // the folder or a table could not be read at all
};

// Checks one disk or data directory. Throws nothing.
Report checkDirectory(const std::filesystem::path& dir);

// Checks the folders on `threads` threads; the reports come in the folders' order.
std::vector<Report> checkDirectories(const std::vector<std::filesystem::path>& dirs, unsigned threads);

// 2 when something could not be read, 1 when anything was found, else 0.
int exitStatus(const std::vector<Report>& reports);

// "DIR: mercbi.dbf, renglón 3, FRACCION: La Fracción debe ser de 8 números"
std::string line(const Report& report, const Finding& finding);
// The same as one line of CSV (RFC 4180): folder, table, row, field, message.
std::string csvLine(const Report& report, const Finding& finding);
inline constexpr const char* kCsvHeader = "carpeta,tabla,renglon,campo,mensaje";

}  // namespace verify
