// The data directory: the open tables, shared by every data source.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
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

    // Told when a table is found damaged as it is opened or re-read (its file
    // changed): the table's file name, its file and what is wrong. It may
    // repair the file (repairTable), which is then read again; a table left
    // damaged is only read, and is not told again until its file changes.
    using DamageHandler =
        std::function<void(const std::string& table, const std::filesystem::path& file, const TableDamage& damage)>;
    void setDamageHandler(DamageHandler handler) { onDamage_ = std::move(handler); }

private:
    DbfTable& checked(const std::string& key, DbfTable& table);

    std::filesystem::path dir_;
    std::map<std::string, std::unique_ptr<DbfTable>> open_;  // key: upper-case table name
    std::vector<std::unique_ptr<DbfTable>> retired_;         // replaced, still referenced
    DamageHandler onDamage_;
    std::set<std::string> told_;  // keys of the damaged tables the handler was told of
};

}  // namespace store
