// The SELECT statements that the windows give their data sources.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dbf.h"

namespace store {

// SELECT * | col, col FROM table [WHERE cond] [ORDER BY col, col]
// cond: comparisons (= <> < > <= >=) of a column with a number, a quoted text
// or Null, joined by AND / OR, with parentheses.
//
// Comparison rules: "= Null" is "is null" and "<> Null" "is not null"; any
// other comparison that meets a null is false. Text compares by character
// code after its trailing blanks are removed (leading blanks count). A text
// meets a number numerically when it reads as a number, and is false
// otherwise. Dates compare with texts as YYYYMMDD. ORDER BY keys are ascending
// (or DESC) with nulls first, and rows with equal keys keep file order.
class Statement {
public:
    // Throws StoreError quoting the statement when it is outside the subset.
    static Statement parse(std::string_view text);

    const std::string& text() const { return text_; }
    const std::string& tableName() const { return table_; }

    struct Result {
        std::vector<int> columns;          // table field position of each result column
        std::vector<std::size_t> records;  // record numbers, in result order
    };
    // How the rows are read: from their stored bytes wherever that gives what
    // the table reader gives (the normal way, several times faster), or every
    // field decoded by the table reader (tests compare the two).
    enum class Reading { StoredBytes, DecodedValues };
    // Evaluates over the live records of the table. Throws StoreError for a
    // column the table does not have.
    Result evaluate(const DbfTable& table, Reading reading = Reading::StoredBytes) const;

    struct Node;

private:
    std::string text_;
    std::string table_;
    std::vector<std::string> projection_;  // empty: *
    std::shared_ptr<const Node> where_;
    std::vector<std::string> orderBy_;
    std::vector<bool> orderDesc_;  // per ORDER BY key: DESC given
};

// True when the text is a SELECT statement rather than a table name.
bool isStatement(std::string_view recordSource);

}  // namespace store
