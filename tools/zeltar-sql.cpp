// zeltar-sql DIR "STATEMENT": answers a SELECT statement (or a plain table
// name) over the tables of DIR as tab-separated lines: the field names first,
// then one line per row, nulls as empty text. For support staff and tests.
//
// Exit status: 0 answered, 2 bad statement, missing table or damaged file
// (the rows that could be read are still printed for a damaged file).
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "store/database.h"
#include "store/dbf.h"
#include "store/platform/errors.h"
#include "store/platform/program.h"
#include "store/sql.h"

namespace {

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

}  // namespace

int main(int argc, char** argv) {
    store::platform::useUtf8Output();
    const std::vector<std::string> args = store::platform::programArguments(argc, argv);
    if (args.size() != 3) {
        std::cerr << "Uso: zeltar-sql DIRECTORIO \"SELECT ...\" | TABLA\n";
        return 2;
    }
    std::ios::sync_with_stdio(false);
    try {
        const std::u8string dir(args[1].begin(), args[1].end());
        store::Database db{std::filesystem::path(dir)};
        std::string text = args[2];
        if (!store::isStatement(text))
            text = "select * from " + trim(text);
        const store::Statement statement = store::Statement::parse(text);
        store::DbfTable& table = db.table(statement.tableName());
        const store::Statement::Result result = statement.evaluate(table);

        std::string out;
        for (std::size_t i = 0; i < result.columns.size(); ++i) {
            if (i)
                out += '\t';
            out += table.fields()[static_cast<std::size_t>(result.columns[i])].name;
        }
        out += '\n';
        for (std::size_t record : result.records) {
            for (std::size_t i = 0; i < result.columns.size(); ++i) {
                if (i)
                    out += '\t';
                out += table.read(record, static_cast<std::size_t>(result.columns[i])).toString();
            }
            out += '\n';
            if (out.size() > (1u << 16)) {
                std::cout << out;
                out.clear();
            }
        }
        std::cout << out << std::flush;

        if (!table.warnings().empty()) {
            for (const std::string& w : table.warnings())
                std::cerr << "zeltar-sql: " << w << "\n";
            return 2;
        }
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "zeltar-sql: " << store::platform::errorText(e) << "\n";
        return 2;
    }
}
