#include "database.h"

#include "text.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace store {

namespace {

// "Sector", "sector.dbf", " SECTOR.DBF " -> "SECTOR".
std::string tableKey(std::string_view name) {
    std::string key = upperAscii(trimBlanks(name));
    if (key.size() > 4 && key.compare(key.size() - 4, 4, ".DBF") == 0)
        key.resize(key.size() - 4);
    return key;
}

std::string u8(const std::filesystem::path& p) {
    auto s = p.u8string();
    return std::string(s.begin(), s.end());
}

}  // namespace

Database::Database(std::filesystem::path directory) : dir_(std::move(directory)) {}

std::filesystem::path Database::tableFile(std::string_view name) const {
    const std::string key = tableKey(name);
    const std::string wanted = key + ".DBF";
    std::filesystem::path found;
    if (!key.empty()) {
        std::error_code ec;
        std::filesystem::directory_iterator it(dir_, ec), end;
        // Several files may match on a case-sensitive file system: prefer the
        // spelling asked for, then the first by name, so the choice is stable.
        const std::string asked = std::string(name);
        for (; !ec && it != end; it.increment(ec)) {
            std::error_code fec;
            if (!it->is_regular_file(fec))
                continue;
            const std::string fname = u8(it->path().filename());
            if (upperAscii(fname) != wanted)
                continue;
            if (fname == asked || fname == asked + ".dbf") {
                found = it->path();
                break;
            }
            if (found.empty() || fname < u8(found.filename()))
                found = it->path();
        }
    }
    if (found.empty())
        throw StoreError("No se encuentra la tabla \"" + std::string(name) + "\" en el directorio \"" + u8(dir_)
                         + "\".");
    return found;
}

DbfTable& Database::table(std::string_view name) {
    const std::string key = tableKey(name);
    auto it = open_.find(key);
    if (it != open_.end()) {
        std::error_code ec;
        // Another program may have packed or replaced the file meanwhile.
        if (std::filesystem::exists(it->second->path(), ec)) {
            if (it->second->reloadIfChanged())
                told_.erase(key);  // a damage found in what it reads now is told anew
            return checked(key, *it->second);
        }
        // The file went away or now has another spelling: look it up again.
        // The old table stays alive for the data sources that still hold it
        // until they re-read.
        auto reopened = DbfTable::open(tableFile(name));
        retired_.push_back(std::move(it->second));
        it->second = std::move(reopened);
        told_.erase(key);
        return checked(key, *it->second);
    }
    auto t = DbfTable::open(tableFile(name));
    DbfTable& ref = *t;
    open_.emplace(key, std::move(t));
    return checked(key, ref);
}

DbfTable& Database::checked(const std::string& key, DbfTable& table) {
    if (table.damage().any() && onDamage_ && told_.insert(key).second) {
        onDamage_(u8(table.path().filename()), table.path(), table.damage());
        table.reloadIfChanged();  // repaired
    }
    if (!table.damage().any())
        told_.erase(key);
    return table;
}

}  // namespace store
