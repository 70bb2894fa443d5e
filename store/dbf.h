// The .dbf table file: dBASE III and FoxPro 2.x tables without memo fields.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "value.h"

namespace store {

// Every failure of the table layer; what() is Spanish text that a window may show.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class FieldType : char {
    Character = 'C',
    Numeric = 'N',
    Float = 'F',
    Date = 'D',
    Logical = 'L',
};

struct FieldDef {
    std::string name;  // upper case as written; matched without regard to case
    FieldType type = FieldType::Character;
    int length = 1;
    int decimals = 0;
};

// Code page bytes of the header (offset 29).
inline constexpr std::uint8_t kCodePage850 = 0x02;

// Where a table file disagrees with itself, found as it is read: the header
// and the bytes that follow it tell different stories, so a write could land
// in the wrong place or be read differently by other programs. Such a table
// is only read until it is repaired (repairTable); packing refuses it.
struct TableDamage {
    // One sentence each, in words an operator understands, without the
    // table's name ("su encabezado cuenta 6 renglones, ...").
    std::vector<std::string> problems;
    std::size_t rowsKept = 0;  // whole rows that can be read (deleted ones included)
    std::size_t rowsLost = 0;  // rows the header counts that the file does not hold whole
    bool any() const { return !problems.empty(); }
};

// What a repair did: where the damaged file was kept and how many rows the
// repaired table holds.
struct RepairResult {
    std::filesystem::path copy;  // the damaged file, as it was; empty when nothing was repaired
    std::size_t kept = 0;
    std::size_t lost = 0;
};

class DbfTable {
public:
    // Reads the header and the records of an existing file. Throws StoreError
    // (naming the file) for a file it cannot handle (Visual FoxPro, memo
    // fields, an unknown field type or code page byte); damage it can read
    // around is reported through warnings() and damage(). Field names are
    // given as the file writes them (create() writes them upper case). One
    // record beyond the header's count (an append cut off before its count was
    // written) is not read, and the next append takes its place; more are
    // rows the count lost, read and reported as damage.
    static std::unique_ptr<DbfTable> open(const std::filesystem::path& file);

    // Writes a new empty table (version 0x03, code page 850 marked 0x02).
    // Throws if the file exists.
    static void create(const std::filesystem::path& file, const std::vector<FieldDef>& fields,
                       std::uint8_t codePageByte = kCodePage850);

    // Writes a new table with the given rows; used for the shipped catalogues.
    static void createWithRows(const std::filesystem::path& file, const std::vector<FieldDef>& fields,
                               const std::vector<Row>& rows, std::uint8_t codePageByte = kCodePage850);

    // Parses a table held in memory (for the fuzzer and for tests); name is
    // only used in messages. The table cannot be written.
    static std::unique_ptr<DbfTable> fromBytes(std::string bytes, const std::filesystem::path& name);

    ~DbfTable();
    DbfTable(const DbfTable&) = delete;
    DbfTable& operator=(const DbfTable&) = delete;

    const std::filesystem::path& path() const;
    const std::vector<FieldDef>& fields() const;
    // Where each field starts inside a record (after the deletion byte), for
    // scans of rawRecord().
    const std::vector<std::size_t>& fieldOffsets() const;
    // Position of a field by name, without regard to case; -1 when absent.
    int fieldIndex(std::string_view name) const;
    std::uint8_t codePageByte() const;
    std::uint8_t versionByte() const;

    // Records that could be read (deleted ones included), in file order.
    std::size_t recordCount() const;
    // True for the deletion mark, and for any mark other than a blank (other
    // readers skip such records too).
    bool isDeleted(std::size_t record) const;
    Row read(std::size_t record) const;
    Value read(std::size_t record, std::size_t field) const;
    // The bytes of a record as stored (deletion byte first), for fast scans.
    std::string_view rawRecord(std::size_t record) const;

    // Appends a record and returns its number: the record is written and
    // flushed before the header count, so a crash never loses a saved row.
    // Throws (and writes nothing) for a value that does not fit its field or
    // a character the table's code page cannot hold.
    // Missing trailing values of an appended row are null; update needs every
    // field and keeps the deletion mark. A write through a stale table (the
    // file changed on disk) re-reads first; update and markDeleted refuse if
    // their record is no longer the one that was read.
    std::size_t append(const Row& row);
    void update(std::size_t record, const Row& row);
    void markDeleted(std::size_t record);

    // Re-reads the file when it changed on disk since it was read (another
    // program packed it, say). Returns true when it re-read.
    bool reloadIfChanged();

    // What was found while reading (Spanish, naming the file): the damage
    // below, and oddities that do not stop writing (an unknown deletion mark,
    // an unreadable value, the trace of a save cut off by a crash). Empty when
    // sound.
    const std::vector<std::string>& warnings() const;
    // The damage that keeps the table from being written; any() false when sound.
    const TableDamage& damage() const;

    struct Impl;

private:
    explicit DbfTable(std::unique_ptr<Impl> impl);
    friend void packTable(const std::filesystem::path& file);
    std::unique_ptr<Impl> d_;
};

// Packs a table: writes the live records to a new file beside it, flushes it
// and renames it over the old one. Throws StoreError, also for a damaged table.
void packTable(const std::filesystem::path& file);

// Repairs a damaged table: the file as it is goes first to a copy beside it
// (NAME-antes-de-reparar-YYYYMMDD-HHMMSS.dbf), then a new file with every
// whole row that could be read, deleted ones and their marks included, and a
// header that agrees with them (unreadable field names given the names the
// program's layout has at their places) is written beside the table and
// renamed over it. A sound table is left as it is. Throws StoreError.
RepairResult repairTable(const std::filesystem::path& file);

// The operator's words about a damaged table, named `table`: what is wrong
// and how many rows can be read.
std::string damageText(const std::string& table, const TableDamage& damage);

}  // namespace store
