// The data directory: the open tables, shared by every data source.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dbf.h"

namespace store {

class Database {
public:
    explicit Database(std::filesystem::path directory);

    const std::filesystem::path& directory() const { return dir_; }

    // The file of a table, found among the directory's files without regard to
    // case ("Sector", "sector.dbf" and "SECTOR.DBF" are one table). Throws
    // StoreError when there is none.
    std::filesystem::path tableFile(std::string_view name) const;

    // The open table (opened on first use, re-read when its file changed).
    DbfTable& table(std::string_view name);

private:
    std::filesystem::path dir_;
    std::map<std::string, std::unique_ptr<DbfTable>> open_;  // key: upper-case table name
    std::vector<std::unique_ptr<DbfTable>> retired_;         // replaced, still referenced
};

}  // namespace store
