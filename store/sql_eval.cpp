// Evaluating a statement over a table: the condition compiled to field
// slots and answered, row by row, from the stored bytes where they give what
// the table reader would (see bytes.h), from decoded values otherwise.
#include <algorithm>
#include <numeric>
#include <optional>

#include "bytes.h"
#include "sql_internal.h"
#include "text.h"

namespace store {

using Node = Statement::Node;

namespace {

// Asks the processor to start loading the cache line at p.
inline void prefetch(const char* p) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}

// Ordering of a value against a literal; empty when they cannot be compared
// (a null, or a text that is no number against a number).
std::optional<int> compareToLiteral(const Value& v, const Value& lit, const std::optional<double>& litNumber) {
    auto three = [](auto a, auto b) { return a < b ? -1 : (b < a ? 1 : 0); };
    if (v.isNull())
        return std::nullopt;
    if (lit.isNumber()) {
        if (v.isNumber())
            return three(v.number(), lit.number());
        if (v.isText()) {
            auto n = numberInText(v.text());
            if (!n)
                return std::nullopt;
            return three(*n, lit.number());
        }
        return std::nullopt;
    }
    // Literal text.
    if (v.isText()) {
        const int c = std::string_view(v.text()).compare(lit.text());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (v.isNumber()) {
        if (!litNumber)
            return std::nullopt;
        return three(v.number(), *litNumber);
    }
    if (v.isDate()) {
        const int c = v.toString().compare(lit.text());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (v.isLogical()) {
        const std::string t = upperAscii(lit.text());
        std::optional<bool> b;
        if (t == "T" || t == "Y" || t == ".T." || t == "S")
            b = true;
        else if (t == "F" || t == "N" || t == ".F.")
            b = false;
        if (!b)
            return std::nullopt;
        return three(int(v.logical()), int(*b));
    }
    return std::nullopt;
}

bool holds(Op op, int c) {
    switch (op) {
    case Op::Eq: return c == 0;
    case Op::Ne: return c != 0;
    case Op::Lt: return c < 0;
    case Op::Gt: return c > 0;
    case Op::Le: return c <= 0;
    case Op::Ge: return c >= 0;
    }
    return false;
}

// The condition with its columns turned into field slots, evaluated per row
// with each needed field decoded at most once.
struct Compiled {
    struct CNode {
        Node::Kind kind;
        int left = -1, right = -1;
        int slot = -1;
        Op op = Op::Eq;
        Value literal;
        std::optional<double> literalNumber;  // a text literal that reads as a number
        // How the comparison may be answered from the stored bytes.
        enum class Fast { None, NumberField, TextField } fast = Fast::None;
        std::size_t offset = 0, length = 0;  // the field inside the record
    };
    std::vector<CNode> nodes;
    std::vector<std::size_t> slotField;  // table field of each slot
    bool fromBytes = true;               // comparisons may be answered from stored bytes
    int root = -1;

    int add(const Node& n, const DbfTable& table, const Statement& st) {
        CNode c;
        c.kind = n.kind;
        if (n.kind == Node::Kind::Compare) {
            const int f = table.fieldIndex(n.column);
            if (f < 0)
                refuseStatement(st.text(), "la tabla " + st.tableName() + " no tiene el campo " + n.column);
            auto it = std::find(slotField.begin(), slotField.end(), std::size_t(f));
            c.slot = int(it - slotField.begin());
            if (it == slotField.end())
                slotField.push_back(std::size_t(f));
            c.op = n.op;
            c.literal = n.literal;
            if (n.literal.isText())
                c.literalNumber = numberInText(n.literal.text());
            const FieldDef& def = table.fields()[std::size_t(f)];
            c.offset = table.fieldOffsets()[std::size_t(f)];
            c.length = static_cast<std::size_t>(def.length);
            if (!fromBytes)
                c.fast = CNode::Fast::None;
            else if ((def.type == FieldType::Numeric || def.type == FieldType::Float) && n.literal.isNumber())
                c.fast = CNode::Fast::NumberField;
            else if (def.type == FieldType::Character && (n.literal.isNull() || n.literal.isText()))
                c.fast = CNode::Fast::TextField;
        } else {
            c.left = add(*n.left, table, st);
            c.right = add(*n.right, table, st);
        }
        nodes.push_back(std::move(c));
        return int(nodes.size()) - 1;
    }
};

class RowCache {
public:
    RowCache(const DbfTable& table, const std::vector<std::size_t>& slotField)
        : table_(table), slotField_(slotField), values_(slotField.size()), loaded_(slotField.size(), 0) {}
    void reset(std::size_t record, std::string_view raw) {
        record_ = record;
        raw_ = raw;
        std::fill(loaded_.begin(), loaded_.end(), 0);
    }
    std::string_view raw() const { return raw_; }
    const Value& get(int slot) {
        if (!loaded_[slot]) {
            values_[slot] = table_.read(record_, slotField_[slot]);
            loaded_[slot] = 1;
        }
        return values_[slot];
    }

private:
    const DbfTable& table_;
    const std::vector<std::size_t>& slotField_;
    std::vector<Value> values_;
    std::vector<char> loaded_;
    std::size_t record_ = 0;
    std::string_view raw_;  // the record's stored bytes
};

// A comparison answered from the record's bytes without building a Value.
// It gives exactly what the table reader's value would give, or declines
// (empty), and the row then goes through DbfTable::read.
std::optional<bool> testStored(const Compiled::CNode& n, std::string_view record) {
    using Fast = Compiled::CNode::Fast;
    const std::string_view raw = fieldBytes(record, n.offset, n.length);
    if (raw.size() != n.length)
        return std::nullopt;
    if (n.fast == Fast::NumberField) {
        const auto x = plainStoredNumber(raw);
        if (!x)
            return std::nullopt;
        const double lit = n.literal.number();
        return holds(n.op, *x < lit ? -1 : (lit < *x ? 1 : 0));
    }
    // A character field: all padding is null; text of plain ASCII bytes is
    // its own UTF-8, so it compares as stored.
    const std::string_view text = withoutTrailingPadding(raw);
    if (text.empty() || n.literal.isNull()) {
        const bool isNull = text.empty();
        if (n.literal.isNull())
            return n.op == Op::Eq ? isNull : n.op == Op::Ne ? !isNull : false;
        return false;
    }
    if (!isAscii(text))
        return std::nullopt;
    const int c = text.compare(n.literal.text());
    return holds(n.op, c < 0 ? -1 : (c > 0 ? 1 : 0));
}

bool test(const Compiled& c, int i, RowCache& row) {
    const Compiled::CNode& n = c.nodes[i];
    switch (n.kind) {
    case Node::Kind::And: return test(c, n.left, row) && test(c, n.right, row);
    case Node::Kind::Or: return test(c, n.left, row) || test(c, n.right, row);
    case Node::Kind::Compare: {
        if (n.fast != Compiled::CNode::Fast::None)
            if (const auto answer = testStored(n, row.raw()))
                return *answer;
        const Value& v = row.get(n.slot);
        if (n.literal.isNull()) {
            if (n.op == Op::Eq)
                return v.isNull();
            if (n.op == Op::Ne)
                return !v.isNull();
            return false;
        }
        auto cmp = compareToLiteral(v, n.literal, n.literalNumber);
        return cmp && holds(n.op, *cmp);
    }
    }
    return false;
}

}  // namespace

Statement::Result Statement::evaluate(const DbfTable& table, Reading reading) const {
    Result r;
    if (projection_.empty()) {
        r.columns.resize(table.fields().size());
        std::iota(r.columns.begin(), r.columns.end(), 0);
    } else {
        for (const std::string& name : projection_) {
            const int f = table.fieldIndex(name);
            if (f < 0)
                refuseStatement(text_, "la tabla " + table_ + " no tiene el campo " + name);
            r.columns.push_back(f);
        }
    }
    std::vector<std::size_t> keyFields;
    for (const std::string& name : orderBy_) {
        const int f = table.fieldIndex(name);
        if (f < 0)
            refuseStatement(text_, "la tabla " + table_ + " no tiene el campo " + name);
        keyFields.push_back(std::size_t(f));
    }
    Compiled cond;
    cond.fromBytes = reading == Reading::StoredBytes;
    if (where_)
        cond.root = cond.add(*where_, table, *this);

    const std::size_t n = table.recordCount();
    RowCache row(table, cond.slotField);
    std::optional<SortKeys> keys;
    if (!keyFields.empty()) {
        keys.emplace(table, keyFields, orderDesc_, reading);
        keys->reserve(n);
    }
    r.records.reserve(n);
    // The bytes the condition and the keys read, a few records ahead: the
    // scan is bound by memory, and a wide record spans several cache lines.
    std::vector<std::size_t> touched;
    for (const std::size_t f : cond.slotField)
        touched.push_back(table.fieldOffsets()[f]);
    for (const std::size_t f : keyFields)
        touched.push_back(table.fieldOffsets()[f]);
    constexpr std::size_t kAhead = 8;
    for (std::size_t rec = 0; rec < n; ++rec) {
        if (rec + kAhead < n) {
            const char* ahead = table.rawRecord(rec + kAhead).data();
            for (const std::size_t off : touched)
                prefetch(ahead + off);
        }
        const std::string_view raw = table.rawRecord(rec);
        if (raw.empty() || raw[0] != ' ')  // only a blank mark is a live record
            continue;
        if (cond.root >= 0) {
            row.reset(rec, raw);
            if (!test(cond, cond.root, row))
                continue;
        }
        r.records.push_back(rec);
        if (keys)
            keys->add(rec, raw);
    }

    if (keys && r.records.size() > 1)
        r.records = keys->sorted(r.records);
    return r;
}

}  // namespace store
