#include "sql.h"
#include "codepage.h"
#include "text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cctype>
#include <numeric>
#include <optional>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

namespace store {

namespace {

enum class Op { Eq, Ne, Lt, Gt, Le, Ge };

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimTrailingBlanks(std::string_view s)
{
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// A number written in full ("14", "-2.5", "  7"), as a text field may hold one.
std::optional<double> parseNumber(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    s = trimTrailingBlanks(s);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (s.empty())
        return std::nullopt;
    double v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return v;
}

[[noreturn]] void refuse(std::string_view statement, const std::string& why)
{
    throw StoreError("La instrucción SQL \"" + std::string(statement) + "\" no es válida: " + why + ".");
}

// ---- Tokens ----------------------------------------------------------------

enum class Tok { Word, Number, Text, Op, LParen, RParen, Comma, Star, End };

struct Token {
    Tok kind;
    std::string text;  // Word: as written; Text: contents; Number: digits; Op: operator
    std::size_t at = 0;
};

std::vector<Token> tokenize(std::string_view s)
{
    std::vector<Token> out;
    std::size_t i = 0;
    while (true) {
        while (i < s.size() && isBlank(s[i]))
            ++i;
        if (i >= s.size())
            break;
        const std::size_t start = i;
        const char c = s[i];
        const auto uc = static_cast<unsigned char>(c);
        if (std::isalpha(uc) || c == '_') {
            while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_'))
                ++i;
            out.push_back({Tok::Word, std::string(s.substr(start, i - start)), start});
        } else if (std::isdigit(uc) || ((c == '-' || c == '.') && i + 1 < s.size() &&
                                        (std::isdigit(static_cast<unsigned char>(s[i + 1])) || s[i + 1] == '.'))) {
            ++i;
            while (i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.'))
                ++i;
            if (i < s.size() && (std::isalpha(static_cast<unsigned char>(s[i])) || s[i] == '_'))
                refuse(s, "número mal escrito en la posición " + std::to_string(start + 1));
            out.push_back({Tok::Number, std::string(s.substr(start, i - start)), start});
        } else if (c == '\'' || c == '"') {
            std::string text;
            ++i;
            bool closed = false;
            while (i < s.size()) {
                if (s[i] == c) {
                    if (i + 1 < s.size() && s[i + 1] == c) {  // doubled quote
                        text += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                text += s[i++];
            }
            if (!closed)
                refuse(s, "falta la comilla que cierra el texto");
            out.push_back({Tok::Text, std::move(text), start});
        } else if (c == '=' ) {
            ++i;
            out.push_back({Tok::Op, "=", start});
        } else if (c == '<') {
            ++i;
            if (i < s.size() && (s[i] == '>' || s[i] == '='))
                ++i;
            out.push_back({Tok::Op, std::string(s.substr(start, i - start)), start});
        } else if (c == '>') {
            ++i;
            if (i < s.size() && s[i] == '=')
                ++i;
            out.push_back({Tok::Op, std::string(s.substr(start, i - start)), start});
        } else if (c == '(') {
            ++i;
            out.push_back({Tok::LParen, "(", start});
        } else if (c == ')') {
            ++i;
            out.push_back({Tok::RParen, ")", start});
        } else if (c == ',') {
            ++i;
            out.push_back({Tok::Comma, ",", start});
        } else if (c == '*') {
            ++i;
            out.push_back({Tok::Star, "*", start});
        } else if (c == ';' ) {
            // A closing semicolon is tolerated; anything after it is not.
            ++i;
            while (i < s.size() && isBlank(s[i]))
                ++i;
            if (i < s.size())
                refuse(s, "hay texto después del punto y coma");
            break;
        } else {
            refuse(s, "carácter no admitido '" + std::string(1, c) + "' en la posición " + std::to_string(start + 1));
        }
    }
    out.push_back({Tok::End, "", s.size()});
    return out;
}

// Words that cannot name a column or a table: ours, and the SQL that we do
// not evaluate (so that "a LIKE 'x'" is refused, not misread).
bool isReserved(const std::string& upperWord)
{
    static const char* const words[] = {
        "SELECT", "FROM", "WHERE", "ORDER", "BY", "AND", "OR", "NOT", "NULL", "ASC", "DESC",
        "LIKE", "IN", "IS", "BETWEEN", "JOIN", "INNER", "LEFT", "RIGHT", "OUTER", "ON", "GROUP",
        "HAVING", "UNION", "DISTINCT", "AS", "TOP", "LIMIT", "INTO", "ALL", "EXISTS"};
    for (const char* w : words)
        if (upperWord == w)
            return true;
    return false;
}

} // namespace

// ---- Condition tree ----------------------------------------------------------

struct Statement::Node {
    enum class Kind { And, Or, Compare } kind = Kind::Compare;
    std::shared_ptr<const Node> left, right;  // And / Or
    std::string column;                       // Compare
    Op op = Op::Eq;
    Value literal;  // null, number, or text with its trailing blanks removed
};

namespace {

using NodePtr = std::shared_ptr<const Statement::Node>;
using Node = Statement::Node;

class Parser {
public:
    Parser(std::string_view text, std::vector<Token> tokens) : text_(text), toks_(std::move(tokens)) {}

    const Token& peek() const { return toks_[pos_]; }
    // The token, and on to the next one (End stays put).
    const Token& take() { return toks_[pos_ == toks_.size() - 1 ? pos_ : pos_++]; }

    bool atWord(const char* upperWord) const
    {
        return peek().kind == Tok::Word && upperAscii(peek().text) == upperWord;
    }

    void expectWord(const char* upperWord)
    {
        if (!atWord(upperWord))
            refuse(text_, std::string("se esperaba ") + upperWord + near());
        take();
    }

    std::string near() const
    {
        if (peek().kind == Tok::End)
            return " y la instrucción terminó";
        return " en la posición " + std::to_string(peek().at + 1) + " (\"" + peek().text + "\")";
    }

    std::string name(const char* what)
    {
        if (peek().kind != Tok::Word || isReserved(upperAscii(peek().text)))
            refuse(text_, std::string("se esperaba ") + what + near());
        return take().text;
    }

    NodePtr orExpr()
    {
        NodePtr left = andExpr();
        while (atWord("OR")) {
            take();
            auto n = std::make_shared<Node>();
            n->kind = Node::Kind::Or;
            n->left = left;
            n->right = andExpr();
            left = n;
        }
        return left;
    }

    NodePtr andExpr()
    {
        NodePtr left = primary();
        while (atWord("AND")) {
            take();
            auto n = std::make_shared<Node>();
            n->kind = Node::Kind::And;
            n->left = left;
            n->right = primary();
            left = n;
        }
        return left;
    }

    NodePtr primary()
    {
        if (peek().kind == Tok::LParen) {
            take();
            NodePtr inner = orExpr();
            if (peek().kind != Tok::RParen)
                refuse(text_, "falta el paréntesis que cierra" + near());
            take();
            return inner;
        }
        auto n = std::make_shared<Node>();
        n->kind = Node::Kind::Compare;
        // column op literal, or literal op column (turned around).
        if (peek().kind == Tok::Word && !isReserved(upperAscii(peek().text))) {
            n->column = take().text;
            n->op = op();
            n->literal = literal();
        } else if (peek().kind == Tok::Number || peek().kind == Tok::Text || atWord("NULL")) {
            n->literal = literal();
            n->op = mirrored(op());
            n->column = name("un nombre de campo");
        } else {
            refuse(text_, "se esperaba una comparación" + near());
        }
        return n;
    }

    Op op()
    {
        if (peek().kind != Tok::Op)
            refuse(text_, "se esperaba un operador de comparación (= <> < > <= >=)" + near());
        const std::string& o = peek().text;
        take();
        if (o == "=")
            return Op::Eq;
        if (o == "<>")
            return Op::Ne;
        if (o == "<")
            return Op::Lt;
        if (o == ">")
            return Op::Gt;
        if (o == "<=")
            return Op::Le;
        return Op::Ge;
    }

    static Op mirrored(Op o)
    {
        switch (o) {
        case Op::Lt: return Op::Gt;
        case Op::Gt: return Op::Lt;
        case Op::Le: return Op::Ge;
        case Op::Ge: return Op::Le;
        default: return o;
        }
    }

    Value literal()
    {
        const Token& t = peek();
        if (t.kind == Tok::Number) {
            auto v = parseNumber(t.text);
            if (!v)
                refuse(text_, "número mal escrito" + near());
            take();
            return Value(*v);
        }
        if (t.kind == Tok::Text) {
            std::string s(trimTrailingBlanks(t.text));
            take();
            return Value(std::move(s));
        }
        if (atWord("NULL")) {
            take();
            return Value();
        }
        refuse(text_, "se esperaba un número, un texto entre comillas o Null" + near());
    }

private:
    std::string_view text_;
    std::vector<Token> toks_;
    std::size_t pos_ = 0;
};

} // namespace

Statement Statement::parse(std::string_view text)
{
    Statement st;
    st.text_ = std::string(text);
    Parser p(text, tokenize(text));

    p.expectWord("SELECT");
    if (p.peek().kind == Tok::Star) {
        p.take();
    } else {
        st.projection_.push_back(p.name("* o un nombre de campo"));
        while (p.peek().kind == Tok::Comma) {
            p.take();
            st.projection_.push_back(p.name("un nombre de campo"));
        }
    }
    p.expectWord("FROM");
    st.table_ = p.name("el nombre de una tabla");
    if (p.atWord("WHERE")) {
        p.take();
        st.where_ = p.orExpr();
    }
    if (p.atWord("ORDER")) {
        p.take();
        p.expectWord("BY");
        do {
            if (p.peek().kind == Tok::Comma)
                p.take();
            st.orderBy_.push_back(p.name("un nombre de campo"));
            bool desc = false;
            if (p.atWord("ASC")) {
                p.take();
            } else if (p.atWord("DESC")) {
                p.take();
                desc = true;
            }
            st.orderDesc_.push_back(desc);
        } while (p.peek().kind == Tok::Comma);
    }
    if (p.peek().kind != Tok::End)
        refuse(text, "sobra texto" + p.near());
    return st;
}

// ---- Evaluation --------------------------------------------------------------

namespace {

// ---- Reading the stored bytes directly ----
//
// Most rows are answered from the record's bytes without building a Value.
// Each fast reading below either gives exactly what the table reader would
// give, or declines, and the row then goes through DbfTable::read.

// Where each field starts inside a record, laid out as the table lays them.
std::vector<std::size_t> fieldOffsets(const DbfTable& table)
{
    std::vector<std::size_t> offsets;
    std::size_t off = 1;  // after the deletion byte
    for (const FieldDef& f : table.fields()) {
        offsets.push_back(off);
        off += static_cast<std::size_t>(f.length);
    }
    return offsets;
}

// The stored bytes of a field; empty view when the record is too short.
std::string_view fieldBytes(std::string_view record, std::size_t offset, std::size_t length)
{
    if (record.size() < offset + length)
        return {};
    return record.substr(offset, length);
}

// The table reader counts blanks and NUL bytes as padding.
bool isPad(char c) { return c == ' ' || c == '\0'; }

std::string_view trimPadRight(std::string_view s)
{
    while (!s.empty() && isPad(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isAscii(std::string_view s)
{
    for (const char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// A stored number in plain notation ("  12", "-3.50") of at most 15 digits.
// Such a number is an integer below 2^53 divided by an exact power of ten, so
// one division gives the correctly rounded value, as from_chars does. Blank,
// overflowed ("***") or anything else is left to the table reader (false).
bool plainNumber(std::string_view raw, double& value)
{
    static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t i = 0, end = raw.size();
    while (i < end && isPad(raw[i]))
        ++i;
    while (end > i && isPad(raw[end - 1]))
        --end;
    if (i == end)
        return false;
    bool negative = false;
    if (raw[i] == '+' || raw[i] == '-') {
        negative = raw[i] == '-';
        ++i;
    }
    std::uint64_t mantissa = 0;
    int digits = 0, decimals = 0;
    bool point = false;
    for (; i < end; ++i) {
        const char c = raw[i];
        if (c >= '0' && c <= '9') {
            mantissa = mantissa * 10 + std::uint64_t(c - '0');
            ++digits;
            decimals += point;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    // "5." is left to the reader, which decides what such a text means.
    if (digits == 0 || digits > 15 || (point && decimals == 0))
        return false;
    double v = double(mantissa);
    if (decimals > 0)
        v /= kPow10[decimals];
    value = negative ? -v : v;
    return true;
}

// Asks the processor to start loading the cache line at p.
inline void prefetch(const char* p)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}

// Ordering of a value against a literal; empty when they cannot be compared
// (a null, or a text that is no number against a number).
std::optional<int> compareToLiteral(const Value& v, const Value& lit, const std::optional<double>& litNumber)
{
    auto three = [](auto a, auto b) { return a < b ? -1 : (b < a ? 1 : 0); };
    if (v.isNull())
        return std::nullopt;
    if (lit.isNumber()) {
        if (v.isNumber())
            return three(v.number(), lit.number());
        if (v.isText()) {
            auto n = parseNumber(v.text());
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

bool holds(Op op, int c)
{
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
    std::vector<std::size_t> offsets;    // of every table field
    int root = -1;

    int add(const Node& n, const DbfTable& table, const Statement& st)
    {
        CNode c;
        c.kind = n.kind;
        if (n.kind == Node::Kind::Compare) {
            const int f = table.fieldIndex(n.column);
            if (f < 0)
                refuse(st.text(), "la tabla " + st.tableName() + " no tiene el campo " + n.column);
            auto it = std::find(slotField.begin(), slotField.end(), std::size_t(f));
            c.slot = int(it - slotField.begin());
            if (it == slotField.end())
                slotField.push_back(std::size_t(f));
            c.op = n.op;
            c.literal = n.literal;
            if (n.literal.isText())
                c.literalNumber = parseNumber(n.literal.text());
            const FieldDef& def = table.fields()[std::size_t(f)];
            c.offset = offsets[std::size_t(f)];
            c.length = static_cast<std::size_t>(def.length);
            if ((def.type == FieldType::Numeric || def.type == FieldType::Float) && n.literal.isNumber())
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
        : table_(table), slotField_(slotField), values_(slotField.size()), loaded_(slotField.size(), 0)
    {
    }
    void reset(std::size_t record, std::string_view raw)
    {
        record_ = record;
        raw_ = raw;
        std::fill(loaded_.begin(), loaded_.end(), 0);
    }
    std::string_view raw() const { return raw_; }
    const Value& get(int slot)
    {
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

// A comparison answered from the stored bytes; empty when it must go through
// the decoded value.
std::optional<bool> testStored(const Compiled::CNode& n, std::string_view record)
{
    using Fast = Compiled::CNode::Fast;
    const std::string_view raw = fieldBytes(record, n.offset, n.length);
    if (raw.size() != n.length)
        return std::nullopt;
    if (n.fast == Fast::NumberField) {
        double x = 0;
        if (!plainNumber(raw, x))
            return std::nullopt;
        const double lit = n.literal.number();
        return holds(n.op, x < lit ? -1 : (lit < x ? 1 : 0));
    }
    // A character field: all padding is null; text of plain ASCII bytes is
    // its own UTF-8, so it compares as stored.
    const std::string_view text = trimPadRight(raw);
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

bool test(const Compiled& c, int i, RowCache& row)
{
    const Compiled::CNode& n = c.nodes[i];
    switch (n.kind) {
    case Node::Kind::And:
        return test(c, n.left, row) && test(c, n.right, row);
    case Node::Kind::Or:
        return test(c, n.left, row) || test(c, n.right, row);
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

// Sort order of two field values: nulls first, then by kind, then by value
// (text by character code).
int orderValues(const Value& a, const Value& b)
{
    auto rank = [](const Value& v) {
        return v.isNull() ? 0 : v.isNumber() ? 1 : v.isText() ? 2 : v.isDate() ? 3 : 4;
    };
    const int ra = rank(a), rb = rank(b);
    if (ra != rb)
        return ra < rb ? -1 : 1;
    switch (ra) {
    case 1: return a.number() < b.number() ? -1 : (b.number() < a.number() ? 1 : 0);
    case 2: {
        const int c = a.text().compare(b.text());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    case 3: return a.date() < b.date() ? -1 : (b.date() < a.date() ? 1 : 0);
    case 4: return int(a.logical()) - int(b.logical());
    default: return 0;
    }
}

// The values of one sort key, held by kind: texts (compared by character
// code), or numbers (dates as YYYYMMDD, logicals as 0/1). A column whose
// values mix texts and numbers keeps the values themselves.
struct ColumnKeys {
    explicit ColumnKeys(std::size_t n) : null(n, 0), texts(n), numbers(n) {}
    void set(std::size_t i, Value v)
    {
        if (mixed) {
            values[i] = std::move(v);
            return;
        }
        if (v.isNull()) {
            null[i] = 1;
            return;
        }
        const bool text = v.isText();
        if ((text && anyNumber) || (!text && anyText)) {
            becomeMixed(i);
            values[i] = std::move(v);
            return;
        }
        if (text) {
            anyText = true;
            texts[i] = std::move(v).text();
        } else {
            anyNumber = true;
            numbers[i] = v.isNumber() ? v.number()
                         : v.isDate() ? double(v.date().year * 10000 + v.date().month * 100 + v.date().day)
                                      : double(v.logical());
        }
    }
    void becomeMixed(std::size_t upTo)
    {
        // Not expected of a field of one type; kept correct all the same.
        mixed = true;
        values.resize(null.size());
        for (std::size_t i = 0; i < upTo; ++i)
            if (!null[i])
                values[i] = anyText ? Value(texts[i]) : Value(numbers[i]);
    }
    std::vector<char> null;
    std::vector<std::string> texts;
    std::vector<double> numbers;
    std::vector<Value> values;
    bool anyText = false, anyNumber = false, mixed = false;
};

// Dense ranks of a column of one kind, nulls first (rank 0). The values are
// sorted as 64-bit keys that keep their order: a number's bits, or a text's
// first eight bytes, with the whole texts compared only when those agree.
// Returns the highest rank.
std::uint32_t rankPlain(const ColumnKeys& keys, std::vector<std::uint32_t>& col)
{
    struct Keyed {
        std::uint64_t key;
        std::uint32_t idx;
    };
    const std::size_t m = col.size();
    std::vector<Keyed> keyed;
    keyed.reserve(m);
    bool anyNull = false;
    for (std::size_t i = 0; i < m; ++i) {
        if (keys.null[i]) {
            col[i] = 0;
            anyNull = true;
            continue;
        }
        std::uint64_t key = 0;
        if (keys.anyText) {
            const std::string& t = keys.texts[i];
            for (std::size_t b = 0; b < 8; ++b)
                key = (key << 8) | (b < t.size() ? static_cast<unsigned char>(t[b]) : 0u);
        } else {
            double d = keys.numbers[i];
            if (d == 0)
                d = 0;  // -0 and 0 are one number
            std::uint64_t bitsOf = 0;
            std::memcpy(&bitsOf, &d, sizeof d);
            key = (bitsOf >> 63) ? ~bitsOf : (bitsOf | (std::uint64_t(1) << 63));
        }
        keyed.push_back({key, std::uint32_t(i)});
    }
    auto less = [&](const Keyed& a, const Keyed& b) {
        if (a.key != b.key)
            return a.key < b.key;
        if (!keys.anyText)
            return false;
        const std::string& x = keys.texts[a.idx];
        const std::string& y = keys.texts[b.idx];
        if (x.size() <= 8 && y.size() <= 8)
            return x.size() < y.size();
        return x < y;
    };
    std::sort(keyed.begin(), keyed.end(), less);
    std::uint32_t rank = anyNull ? 1 : 0;
    for (std::size_t pos = 0; pos < keyed.size(); ++pos) {
        if (pos > 0 && less(keyed[pos - 1], keyed[pos]))
            ++rank;
        col[keyed[pos].idx] = rank;
    }
    return keyed.empty() ? 0 : rank;
}

std::uint32_t rankMixed(const ColumnKeys& keys, std::vector<std::uint32_t>& col)
{
    std::vector<std::uint32_t> order(col.size());
    std::iota(order.begin(), order.end(), 0u);
    auto less = [&](std::uint32_t a, std::uint32_t b) { return orderValues(keys.values[a], keys.values[b]) < 0; };
    std::sort(order.begin(), order.end(), less);
    std::uint32_t rank = 0;
    for (std::size_t pos = 0; pos < order.size(); ++pos) {
        if (pos > 0 && less(order[pos - 1], order[pos]))
            ++rank;
        col[order[pos]] = rank;
    }
    return rank;
}

// The order-keeping 64-bit key of a number: its bits with the sign bit flipped
// for positives and all bits flipped for negatives. No finite number gets 0,
// which stands for null.
std::uint64_t numberKey(double d)
{
    if (d == 0)
        d = 0;  // -0 and 0 are one number
    std::uint64_t bitsOf = 0;
    std::memcpy(&bitsOf, &d, sizeof d);
    return (bitsOf >> 63) ? ~bitsOf : (bitsOf | (std::uint64_t(1) << 63));
}

// Text orders by Unicode code point of its decoded characters. The rank of
// each stored byte among the 256 characters of the table's code page keeps
// that order byte by byte (NUL ranks 0, every other byte above it).
std::array<std::uint8_t, 256> codePointRanks(const DbfTable& table)
{
    const auto page = codepage::fromHeaderByte(table.codePageByte()).value_or(codepage::CodePage::Cp850);
    std::array<std::string, 256> decoded;
    std::array<int, 256> bytes;
    for (int b = 0; b < 256; ++b) {
        decoded[std::size_t(b)] = codepage::decode(std::string(1, static_cast<char>(b)), page);
        bytes[std::size_t(b)] = b;
    }
    std::sort(bytes.begin(), bytes.end(),
              [&](int a, int b) { return decoded[std::size_t(a)] < decoded[std::size_t(b)]; });
    std::array<std::uint8_t, 256> rank{};
    int r = 0;
    for (std::size_t i = 0; i < 256; ++i) {
        if (i > 0 && decoded[std::size_t(bytes[i - 1])] < decoded[std::size_t(bytes[i])])
            ++r;
        rank[std::size_t(bytes[i])] = static_cast<std::uint8_t>(r);
    }
    return rank;
}

// Storage for the sort: written before it is read, so not cleared first.
template <class T>
std::unique_ptr<T[]> uninitialized(std::size_t n)
{
    return std::unique_ptr<T[]>(new T[n]);
}

// Character fields of up to this many bytes are sorted by their stored bytes
// in words of eight; longer ones by ranks of their decoded texts.
constexpr std::size_t kMaxDirectText = 32;

// How one ORDER BY column becomes 64-bit key words, each row's words
// comparing in the column's order when taken first to last:
// - Text: a character field as byte ranks (see codePointRanks), eight bytes a
//   word, most significant first, padded with 0; a null (all padding) is all
//   0 and sorts first, and a text sorts before its longer continuations. A NUL
//   byte inside a text would rank like the padding, so such a column is
//   ranked instead.
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

// The key word of a non-character value; false for a text.
bool numberWord(const Value& v, std::uint64_t& key)
{
    if (v.isNull())
        key = 0;
    else if (v.isNumber())
        key = numberKey(v.number());
    else if (v.isDate())
        key = numberKey(double(v.date().year * 10000 + v.date().month * 100 + v.date().day));
    else if (v.isLogical())
        key = numberKey(double(v.logical()));
    else
        return false;
    return true;
}

// Fills the row's words of a Text, Number or Value column; false when the column
// must be ranked instead.
bool fillWords(const DbfTable& table, std::size_t record, std::string_view raw, const KeyColumn& c,
               const std::array<std::uint8_t, 256>& ranks, std::uint64_t* words, std::size_t stride)
{
    const std::string_view bytes = fieldBytes(raw, c.offset, c.length);
    if (c.how == KeyColumn::How::Text) {
        if (bytes.size() != c.length)
            return false;
        const std::string_view text = trimPadRight(bytes);
        for (std::size_t w = 0; w < c.words; ++w) {
            std::uint64_t key = 0;
            for (std::size_t b = 8 * w; b < 8 * w + 8; ++b) {
                const unsigned r = b < text.size() ? ranks[static_cast<unsigned char>(text[b])] : 0u;
                if (r == 0 && b < text.size())
                    return false;
                key = (key << 8) | r;
            }
            words[w * stride] = key;
        }
        return true;
    }
    if (c.how == KeyColumn::How::Number && bytes.size() == c.length)
        if (double x = 0; plainNumber(bytes, x)) {
            words[0] = numberKey(x);
            return true;
        }
    return numberWord(table.read(record, c.field), words[0]);
}

// Stable least significant digit radix sort of `order` (positions into
// `keys`) by key, one byte a pass, skipping the bytes on which every key
// agrees. k, k2 and o2 are scratch of order's size.
void stableSortByKey(std::uint32_t*& order, std::uint32_t*& o2, const std::uint64_t* keys, std::size_t m,
                     std::uint64_t*& k, std::uint64_t*& k2)
{
    std::uint64_t differ = 0;
    for (std::size_t i = 1; i < m; ++i)
        differ |= keys[i] ^ keys[0];
    if (differ == 0)
        return;
    for (std::size_t i = 0; i < m; ++i)
        k[i] = keys[order[i]];
    for (unsigned shift = 0; shift < 64; shift += 8) {
        if (((differ >> shift) & 0xFF) == 0)
            continue;
        std::array<std::size_t, 257> start{};
        for (std::size_t i = 0; i < m; ++i)
            ++start[((k[i] >> shift) & 0xFF) + 1];
        for (std::size_t b = 1; b < 257; ++b)
            start[b] += start[b - 1];
        for (std::size_t i = 0; i < m; ++i) {
            const std::size_t to = start[(k[i] >> shift) & 0xFF]++;
            k2[to] = k[i];
            o2[to] = order[i];
        }
        std::swap(k, k2);
        std::swap(order, o2);
    }
}

// The ORDER BY keys, gathered while the records are scanned: each row that
// passes the condition has its key words read at once, while its bytes are
// still in the cache. sorted() then orders the rows by stable sorts on the
// words from the last to the first, so equal keys keep the order in which the
// rows were added, which is file order. A DESC column sorts by its
// complemented words (nulls then come last).
class SortKeys {
public:
    SortKeys(const DbfTable& table, const std::vector<std::size_t>& keyFields, const std::vector<bool>& desc)
        : table_(table), ranks_(codePointRanks(table))
    {
        const std::vector<std::size_t> offsets = fieldOffsets(table);
        for (std::size_t j = 0; j < keyFields.size(); ++j) {
            const FieldDef& def = table.fields()[keyFields[j]];
            KeyColumn c{KeyColumn::How::Number, keyFields[j], offsets[keyFields[j]], std::size_t(def.length),
                        desc[j], width_, 1};
            if (def.type == FieldType::Character) {
                c.how = c.length <= kMaxDirectText ? KeyColumn::How::Text : KeyColumn::How::Ranked;
                if (c.how == KeyColumn::How::Text)
                    c.words = (c.length + 7) / 8;
            } else if (def.type != FieldType::Numeric && def.type != FieldType::Float) {
                c.how = KeyColumn::How::Value;
            }
            width_ += c.words;
            columns_.push_back(c);
        }
    }

    // Reserves room for the rows to come.
    void reserve(std::size_t rows) { words_.reserve(rows * width_); }

    // The next row: its record number and stored bytes.
    void add(std::size_t record, std::string_view raw)
    {
        const std::size_t at = words_.size();
        words_.resize(at + width_, 0);
        for (KeyColumn& c : columns_)
            if (c.how != KeyColumn::How::Ranked
                && !fillWords(table_, record, raw, c, ranks_, words_.data() + at + c.firstWord, 1))
                c.how = KeyColumn::How::Ranked;
    }

    // The records (the ones added, in the order added) in key order.
    std::vector<std::size_t> sorted(const std::vector<std::size_t>& records)
    {
        const std::size_t m = records.size();
        for (const KeyColumn& c : columns_)
            if (c.how == KeyColumn::How::Ranked)
                rank(c, records);

        auto orderBuf = uninitialized<std::uint32_t>(m), o2Buf = uninitialized<std::uint32_t>(m);
        auto keyBuf = uninitialized<std::uint64_t>(m);
        auto kBuf = uninitialized<std::uint64_t>(m), k2Buf = uninitialized<std::uint64_t>(m);
        std::uint32_t* order = orderBuf.get();
        std::uint32_t* o2 = o2Buf.get();
        std::uint64_t* k = kBuf.get();
        std::uint64_t* k2 = k2Buf.get();
        std::iota(order, order + m, 0u);
        for (const KeyColumn* c = columns_.data() + columns_.size(); c-- != columns_.data();) {
            for (std::size_t w = c->firstWord + c->words; w-- > c->firstWord;) {
                const std::uint64_t flip = c->desc ? ~std::uint64_t(0) : 0;
                for (std::size_t i = 0; i < m; ++i)
                    keyBuf[i] = words_[i * width_ + w] ^ flip;
                stableSortByKey(order, o2, keyBuf.get(), m, k, k2);
            }
        }
        std::vector<std::size_t> out;
        out.reserve(m);
        for (std::size_t i = 0; i < m; ++i)
            out.push_back(records[order[i]]);
        return out;
    }

private:
    // A column that cannot be keyed from its bytes: the dense ranks of its
    // decoded values (nulls 0) take its first word; its other words agree on
    // every row.
    void rank(const KeyColumn& c, const std::vector<std::size_t>& records)
    {
        const std::size_t m = records.size();
        ColumnKeys column(m);
        for (std::size_t i = 0; i < m; ++i)
            column.set(i, table_.read(records[i], c.field));
        std::vector<std::uint32_t> dense(m);
        if (column.mixed)
            rankMixed(column, dense);
        else
            rankPlain(column, dense);
        for (std::size_t i = 0; i < m; ++i)
            for (std::size_t w = 0; w < c.words; ++w)
                words_[i * width_ + c.firstWord + w] = w == 0 ? dense[i] : 0;
    }

    const DbfTable& table_;
    const std::array<std::uint8_t, 256> ranks_;
    std::vector<KeyColumn> columns_;
    std::size_t width_ = 0;             // words a row
    std::vector<std::uint64_t> words_;  // row by row
};

} // namespace

Statement::Result Statement::evaluate(const DbfTable& table) const
{
    Result r;
    if (projection_.empty()) {
        r.columns.resize(table.fields().size());
        std::iota(r.columns.begin(), r.columns.end(), 0);
    } else {
        for (const std::string& name : projection_) {
            const int f = table.fieldIndex(name);
            if (f < 0)
                refuse(text_, "la tabla " + table_ + " no tiene el campo " + name);
            r.columns.push_back(f);
        }
    }
    std::vector<std::size_t> keyFields;
    for (const std::string& name : orderBy_) {
        const int f = table.fieldIndex(name);
        if (f < 0)
            refuse(text_, "la tabla " + table_ + " no tiene el campo " + name);
        keyFields.push_back(std::size_t(f));
    }
    Compiled cond;
    cond.offsets = fieldOffsets(table);
    if (where_)
        cond.root = cond.add(*where_, table, *this);

    const std::size_t n = table.recordCount();
    RowCache row(table, cond.slotField);
    std::optional<SortKeys> keys;
    if (!keyFields.empty()) {
        keys.emplace(table, keyFields, orderDesc_);
        keys->reserve(n);
    }
    r.records.reserve(n);
    // The bytes the condition and the keys read, a few records ahead: the
    // scan is bound by memory, and a wide record spans several cache lines.
    std::vector<std::size_t> touched;
    for (const std::size_t f : cond.slotField)
        touched.push_back(cond.offsets[f]);
    for (const std::size_t f : keyFields)
        touched.push_back(cond.offsets[f]);
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

bool isStatement(std::string_view recordSource)
{
    std::size_t i = 0;
    while (i < recordSource.size() && isBlank(recordSource[i]))
        ++i;
    recordSource.remove_prefix(i);
    if (recordSource.size() < 6 || upperAscii(recordSource.substr(0, 6)) != "SELECT")
        return false;
    if (recordSource.size() == 6)
        return true;
    const char next = recordSource[6];
    return isBlank(next) || next == '*' || next == '(';
}

} // namespace store
