// What the statement's three parts share: the parsed condition tree (parsing),
// the refusal message, and the ORDER BY keys that evaluation gathers while it
// scans and sorting turns into the result's order. Not for use outside store/.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sql.h"

namespace store {

enum class Op { Eq, Ne, Lt, Gt, Le, Ge };

// A condition: AND / OR of two conditions, or a column compared with a literal.
struct Statement::Node {
    enum class Kind { And, Or, Compare } kind = Kind::Compare;
    std::shared_ptr<const Node> left, right;  // And / Or
    std::string column;                       // Compare
    Op op = Op::Eq;
    Value literal;  // null, number, or text with its trailing blanks removed
};

// Throws the StoreError that quotes the statement and says why it was refused.
[[noreturn]] void refuseStatement(std::string_view statement, const std::string& why);

// The stored bytes of a field; an empty view when the record is too short.
inline std::string_view fieldBytes(std::string_view record, std::size_t offset, std::size_t length) {
    if (record.size() < offset + length)
        return {};
    return record.substr(offset, length);
}

// How one ORDER BY column becomes 64-bit key words, each row's words
// comparing in the column's order when taken first to last:
// - Text: a character field as byte ranks (see codePointRanks in
//   sql_sort.cpp), eight bytes a word, most significant first, padded with 0;
//   a null (all padding) is all 0 and sorts first, and a text sorts before its
//   longer continuations. A NUL byte inside a text would rank like the
//   padding, so such a column is ranked instead.
// - Number: a numeric field (see numberKey), plain stored numbers read
//   directly.
// - Value: a date (as YYYYMMDD) or logical (as 0/1) field, from its value.
// - Ranked: dense ranks from a sort of the decoded column alone.
struct KeyColumn {
    enum class How { Text, Number, Value, Ranked } how;
    std::size_t field, offset, length;
    bool desc;
    std::size_t firstWord, words;
};

// The ORDER BY keys, gathered while the records are scanned: each row that
// passes the condition has its key words read at once, while its bytes are
// still in the cache. sorted() then orders the rows by stable sorts on the
// words from the last to the first, so equal keys keep the order in which the
// rows were added, which is file order. A DESC column sorts by its
// complemented words (nulls then come last).
class SortKeys {
public:
    // With Reading::DecodedValues every column is ranked from decoded values.
    SortKeys(const DbfTable& table, const std::vector<std::size_t>& keyFields, const std::vector<bool>& desc,
             Statement::Reading reading);

    // Reserves room for the rows to come.
    void reserve(std::size_t rows) { words_.reserve(rows * width_); }
    // The next row: its record number and stored bytes.
    void add(std::size_t record, std::string_view raw);
    // The records (the ones added, in the order added) in key order.
    std::vector<std::size_t> sorted(const std::vector<std::size_t>& records);

private:
    void rank(const KeyColumn& c, const std::vector<std::size_t>& records);

    const DbfTable& table_;
    const std::array<std::uint8_t, 256> ranks_;
    std::vector<KeyColumn> columns_;
    std::size_t width_ = 0;             // words a row
    std::vector<std::uint64_t> words_;  // row by row
};

}  // namespace store
