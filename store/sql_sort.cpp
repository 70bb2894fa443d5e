// Sorting the rows a statement selects by its ORDER BY keys: 64-bit key
// words read from the stored bytes where they keep the order, dense ranks of
// decoded values where they do not, and a stable radix sort over the words.
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <numeric>
#include <optional>

#include "bytes.h"
#include "codepage.h"
#include "sql_internal.h"

namespace store {

namespace {

// Sort order of two field values: nulls first, then by kind, then by value
// (text by character code).
int orderValues(const Value& a, const Value& b) {
    auto rank = [](const Value& v) { return v.isNull() ? 0 : v.isNumber() ? 1 : v.isText() ? 2 : v.isDate() ? 3 : 4; };
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
    void set(std::size_t i, Value v) {
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
    void becomeMixed(std::size_t upTo) {
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

// The order-keeping 64-bit key of a number: its bits with the sign bit flipped
// for positives and all bits flipped for negatives. No finite number gets 0,
// which stands for null.
std::uint64_t numberKey(double d) {
    if (d == 0)
        d = 0;  // -0 and 0 are one number
    std::uint64_t bitsOf = 0;
    std::memcpy(&bitsOf, &d, sizeof d);
    return (bitsOf >> 63) ? ~bitsOf : (bitsOf | (std::uint64_t(1) << 63));
}

// Dense ranks of a column of one kind, nulls first (rank 0). The values are
// sorted as 64-bit keys that keep their order: a number's bits, or a text's
// first eight bytes, with the whole texts compared only when those agree.
// Returns the highest rank.
std::uint32_t rankPlain(const ColumnKeys& keys, std::vector<std::uint32_t>& col) {
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
            key = numberKey(keys.numbers[i]);
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

std::uint32_t rankMixed(const ColumnKeys& keys, std::vector<std::uint32_t>& col) {
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

// Text orders by Unicode code point of its decoded characters. The rank of
// each stored byte among the 256 characters of the table's code page keeps
// that order byte by byte (NUL ranks 0, every other byte above it).
std::array<std::uint8_t, 256> codePointRanks(const DbfTable& table) {
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
template <class T> std::unique_ptr<T[]> uninitialized(std::size_t n) { return std::unique_ptr<T[]>(new T[n]); }

// Character fields of up to this many bytes are sorted by their stored bytes
// in words of eight; longer ones by ranks of their decoded texts.
constexpr std::size_t kMaxDirectText = 32;

// The key word of a non-character value; empty for a text.
std::optional<std::uint64_t> numberWord(const Value& v) {
    if (v.isNull())
        return 0;
    if (v.isNumber())
        return numberKey(v.number());
    if (v.isDate())
        return numberKey(double(v.date().year * 10000 + v.date().month * 100 + v.date().day));
    if (v.isLogical())
        return numberKey(double(v.logical()));
    return std::nullopt;
}

// Fills the row's words of a Text, Number or Value column; false when the column
// must be ranked instead.
bool fillWords(const DbfTable& table, std::size_t record, std::string_view raw, const KeyColumn& c,
               const std::array<std::uint8_t, 256>& ranks, std::uint64_t* words, std::size_t stride) {
    const std::string_view bytes = fieldBytes(raw, c.offset, c.length);
    if (c.how == KeyColumn::How::Text) {
        if (bytes.size() != c.length)
            return false;
        const std::string_view text = withoutTrailingPadding(bytes);
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
        if (const auto x = plainStoredNumber(bytes)) {
            words[0] = numberKey(*x);
            return true;
        }
    const auto word = numberWord(table.read(record, c.field));
    if (word)
        words[0] = *word;
    return word.has_value();
}

// Stable least significant digit radix sort of `order` (positions into
// `keys`) by key, one byte a pass, skipping the bytes on which every key
// agrees. k, k2 and o2 are scratch of order's size.
void stableSortByKey(std::uint32_t*& order, std::uint32_t*& o2, const std::uint64_t* keys, std::size_t m,
                     std::uint64_t*& k, std::uint64_t*& k2) {
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

}  // namespace

SortKeys::SortKeys(const DbfTable& table, const std::vector<std::size_t>& keyFields, const std::vector<bool>& desc,
                   Statement::Reading reading)
    : table_(table), ranks_(codePointRanks(table)) {
    const std::vector<std::size_t>& offsets = table.fieldOffsets();
    for (std::size_t j = 0; j < keyFields.size(); ++j) {
        const FieldDef& def = table.fields()[keyFields[j]];
        KeyColumn c{
            KeyColumn::How::Number, keyFields[j], offsets[keyFields[j]], std::size_t(def.length), desc[j], width_, 1};
        if (def.type == FieldType::Character) {
            c.how = c.length <= kMaxDirectText ? KeyColumn::How::Text : KeyColumn::How::Ranked;
            if (c.how == KeyColumn::How::Text)
                c.words = (c.length + 7) / 8;
        } else if (def.type != FieldType::Numeric && def.type != FieldType::Float) {
            c.how = KeyColumn::How::Value;
        }
        if (reading == Statement::Reading::DecodedValues)
            c.how = KeyColumn::How::Ranked;
        width_ += c.words;
        columns_.push_back(c);
    }
}

void SortKeys::add(std::size_t record, std::string_view raw) {
    const std::size_t at = words_.size();
    words_.resize(at + width_, 0);
    for (KeyColumn& c : columns_)
        if (c.how != KeyColumn::How::Ranked
            && !fillWords(table_, record, raw, c, ranks_, words_.data() + at + c.firstWord, 1))
            c.how = KeyColumn::How::Ranked;
}

std::vector<std::size_t> SortKeys::sorted(const std::vector<std::size_t>& records) {
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

// A column that cannot be keyed from its bytes: the dense ranks of its
// decoded values (nulls 0) take its first word; its other words agree on
// every row.
void SortKeys::rank(const KeyColumn& c, const std::vector<std::size_t>& records) {
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

}  // namespace store
