// Reading and writing .dbf tables (dBASE III, FoxPro 2.x without memo fields).
//
// The records region is kept in memory and decoded field by field on demand.
// Writes go straight to the file and are flushed before they count: an append
// writes the record and the end marker, flushes, and only then raises the
// header's record count. Reading trusts the header count when the file holds
// that many whole records, so a record written by an append that was cut off
// before its count was raised is not a saved row and the next append reuses
// its place.
#include "dbf.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <fstream>
#include <optional>
#include <system_error>

#include "bytes.h"
#include "codepage.h"
#include "platform/errors.h"
#include "platform/filestate.h"
#include "platform/memory.h"
#include "platform/syncfile.h"
#include "schema.h"

namespace fs = std::filesystem;

namespace store {

namespace {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kDescriptorSize = 32;
constexpr std::size_t kMaxFields = 1024;  // far above any writer's limit (255)
constexpr std::size_t kMaxWarnings = 50;
constexpr char kLive = ' ';
constexpr char kDeleted = '*';
constexpr char kTerminator = 0x0D;
constexpr char kEndMarker = 0x1A;

std::string label(const fs::path& file) {
    const auto u8 = file.u8string();
    return std::string(u8.begin(), u8.end());
}

std::string hex(unsigned v) {
    static const char digits[] = "0123456789ABCDEF";
    return std::string("0x") + digits[(v >> 4) & 0xF] + digits[v & 0xF];
}

std::tm localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &now);
#else
    localtime_r(&now, &tm);
#endif
    return tm;
}

// Year - 1900, month, day of today: the dBASE III way of stamping the header.
void todayStamp(char* out) {
    const std::tm tm = localNow();
    out[0] = static_cast<char>(std::clamp(tm.tm_year, 0, 255));
    out[1] = static_cast<char>(tm.tm_mon + 1);
    out[2] = static_cast<char>(tm.tm_mday);
}

bool upperEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (std::toupper(x) != std::toupper(y))
            return false;
    }
    return true;
}

// Field names as every writer of the format makes them: letters, digits and
// the underscore.
bool readableName(std::string_view raw) {
    if (raw.empty())
        return false;
    for (char c : raw)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    return true;
}

bool validDate(int y, int m, int d) {
    if (y < 1 || m < 1 || m > 12 || d < 1)
        return false;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= days[m - 1] + (m == 2 && leap ? 1 : 0);
}

std::optional<Date> parseDate(std::string_view s) {
    if (s.size() != 8)
        return std::nullopt;
    for (char c : s)
        if (c < '0' || c > '9')
            return std::nullopt;
    const auto num = [&](std::size_t at, std::size_t n) {
        int v = 0;
        for (std::size_t i = at; i < at + n; ++i)
            v = v * 10 + (s[i] - '0');
        return v;
    };
    Date d{num(0, 4), num(4, 2), num(6, 2)};
    if (!validDate(d.year, d.month, d.day))
        return std::nullopt;
    return d;
}

std::string typeName(FieldType t) { return std::string(1, static_cast<char>(t)); }

// What tells a file changed on disk since we read it: identity, size and the
// system's finest stamps (std::filesystem's write time is whole seconds on
// some systems).
using FileStamp = platform::FileState;

std::optional<FileStamp> stampOf(const fs::path& file) { return platform::fileState(file); }

std::string readWholeFile(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        throw StoreError("No existe la tabla " + label(file) + ".");
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw StoreError("No se puede abrir la tabla " + label(file) + ".");
    // One read of the size the file has now, then whatever it grew by meanwhile.
    std::string bytes;
    const std::uintmax_t expected = fs::file_size(file, ec);
    if (!ec && expected < (std::uintmax_t(1) << 40)) {
        bytes.reserve(static_cast<std::size_t>(expected));
        platform::preferLargePages(bytes.data(), static_cast<std::size_t>(expected));
        bytes.resize(static_cast<std::size_t>(expected));
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
    }
    if (!in.bad() && !in.eof()) {
        char buf[1 << 16];
        while (in.read(buf, sizeof buf) || in.gcount() > 0)
            bytes.append(buf, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad())
        throw StoreError("No se puede leer la tabla " + label(file) + ".");
    return bytes;
}

}  // namespace

struct DbfTable::Impl {
    fs::path path;
    bool fileBacked = false;
    std::uint8_t version = 0x03;
    std::uint8_t codePageByte = kCodePage850;
    codepage::CodePage page = codepage::CodePage::Cp850;
    std::vector<FieldDef> fields;
    std::vector<std::size_t> offsets;  // of each field inside a record
    std::size_t dataStart = 0;
    std::size_t recordLength = 0;
    std::size_t count = 0;
    std::string header;                 // bytes [0, dataStart) as read
    std::string records;                // count * recordLength bytes
    TableDamage damage;                 // while any(), no writing
    std::vector<std::size_t> badNames;  // fields whose names cannot be read or repeat
    FileStamp stamp;

    mutable std::vector<std::string> warnings;
    mutable std::vector<bool> fieldWarned;

    void warn(std::string text) const {
        if (warnings.size() < kMaxWarnings)
            warnings.push_back(std::move(text));
    }
    // The file disagrees with itself: told as a warning too, and no writing.
    void damaged(std::string problem) {
        warn("La tabla " + label(path) + " está dañada: " + problem + ".");
        damage.problems.push_back(std::move(problem));
    }

    // Reading a file's bytes, in the order parse() takes the steps.
    struct HeaderFacts;
    void parse(std::string bytes);
    void readVersionAndCodePage(const std::string& bytes);
    void findDescriptors(const std::string& bytes, HeaderFacts& h);
    std::vector<int> readFields(const std::string& bytes, std::size_t count);
    std::string nameFor(std::size_t field, const std::vector<std::string>& taken) const;
    FieldType fieldType(char typeByte, const std::string& fieldName) const;
    void settleRecordLength(const HeaderFacts& h, const std::vector<int>& highBytes);
    void settleDataStart(const HeaderFacts& h);
    void takeRecords(std::string bytes, std::uint32_t headerCount);
    Value decode(std::size_t record, std::size_t field) const;
    std::string encodeField(std::size_t field, const Value& v) const;
    std::string encodeRecord(const Row& row, char flag) const;
    void requireWritable() const;
    void reload();
    bool changedOnDisk() const;
    void refreshStamp();
};

// What the fixed header says, and how the file's size fits it.
struct DbfTable::Impl::HeaderFacts {
    std::size_t size = 0;            // of the whole file
    std::uint32_t count = 0;         // records, as the header counts them
    std::size_t headerLength = 0;    // where the header says the records start
    std::size_t recordLength = 0;    // as the header gives it
    std::size_t descriptors = 0;     // field descriptors found
    std::size_t descriptorsEnd = 0;  // just after the terminator (or where it should be)
    bool terminated = false;

    // Whether the file is exactly as long as a data start and record length say.
    bool fits(std::size_t start, std::size_t length) const {
        if (start > size || length == 0)
            return false;
        const std::size_t rest = size - start;
        const std::size_t need = static_cast<std::size_t>(count) * length;
        if (need / length != count)
            return false;
        return rest >= need && rest - need <= 1;
    }
};

void DbfTable::Impl::parse(std::string bytes) {
    if (bytes.size() < kHeaderSize)
        throw StoreError("La tabla " + label(path) + " está truncada: su encabezado está incompleto.");
    readVersionAndCodePage(bytes);
    HeaderFacts h;
    h.size = bytes.size();
    h.count = le32(bytes, 4);
    h.headerLength = le16(bytes, 8);
    h.recordLength = le16(bytes, 10);
    findDescriptors(bytes, h);
    const std::vector<int> highBytes = readFields(bytes, h.descriptors);
    settleRecordLength(h, highBytes);
    settleDataStart(h);
    takeRecords(std::move(bytes), h.count);
    fieldWarned.assign(fields.size(), false);
}

void DbfTable::Impl::readVersionAndCodePage(const std::string& bytes) {
    const std::string name = label(path);
    version = static_cast<std::uint8_t>(bytes[0]);
    if (version >= 0x30 && version <= 0x32)
        throw StoreError("La tabla " + name + " es de Visual FoxPro (versión " + hex(version)
                         + "); sólo se leen tablas dBASE III y FoxPro 2.");
    if (version != 0x03 && version != 0x83 && version != 0xF5)
        throw StoreError("La tabla " + name + " tiene una versión que no se puede leer (" + hex(version) + ").");

    codePageByte = static_cast<std::uint8_t>(bytes[29]);
    const auto cp = codepage::fromHeaderByte(codePageByte);
    if (!cp)
        throw StoreError("La tabla " + name + " usa una página de códigos desconocida (byte " + hex(codePageByte)
                         + "); no se puede leer su texto.");
    page = *cp;
}

// The descriptors end at the 0x0D terminator; without one, the header length
// is believed when it is plausible.
void DbfTable::Impl::findDescriptors(const std::string& bytes, HeaderFacts& h) {
    const std::string name = label(path);
    std::size_t pos = kHeaderSize;
    std::size_t n = 0;
    while (pos < h.size && n <= kMaxFields) {
        if (bytes[pos] == kTerminator) {
            h.terminated = true;
            break;
        }
        if (pos + kDescriptorSize > h.size)
            break;
        pos += kDescriptorSize;
        ++n;
    }
    h.descriptorsEnd = pos + 1;
    if (!h.terminated) {
        if (h.headerLength >= kHeaderSize + kDescriptorSize + 1 && h.headerLength <= h.size
            && (h.headerLength - kHeaderSize - 1) % kDescriptorSize == 0
            && (h.headerLength - kHeaderSize - 1) / kDescriptorSize <= kMaxFields) {
            n = (h.headerLength - kHeaderSize - 1) / kDescriptorSize;
            h.descriptorsEnd = h.headerLength;
            damaged("a la lista de campos de su encabezado le falta su marca final");
        } else if (n > kMaxFields) {
            throw StoreError("La tabla " + name + " está dañada: su encabezado no termina.");
        } else {
            throw StoreError("La tabla " + name + " está truncada: su encabezado está incompleto.");
        }
    }
    if (n == 0)
        throw StoreError("La tabla " + name + " no tiene campos.");
    h.descriptors = n;
}

// Reads the field descriptors. Returns, per field, the byte after its length
// (a character field's length high byte for some writers; 0 for the others).
std::vector<int> DbfTable::Impl::readFields(const std::string& bytes, std::size_t count) {
    const std::string name = label(path);
    fields.clear();
    std::vector<int> highBytes;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kHeaderSize + i * kDescriptorSize;
        // The name ends at the first NUL; what follows it is ignored.
        std::size_t len = 0;
        while (len < 11 && bytes[at + len] != '\0')
            ++len;
        FieldDef f;
        f.name = std::string(withoutPadding(codepage::decode(std::string_view(bytes).substr(at, len), page)));
        f.type = fieldType(bytes[at + 11], f.name);
        f.length = static_cast<unsigned char>(bytes[at + 16]);
        const int dec = static_cast<unsigned char>(bytes[at + 17]);
        f.decimals = f.type == FieldType::Character ? 0 : dec;
        highBytes.push_back(f.type == FieldType::Character ? dec : 0);
        if (!readableName(std::string_view(bytes).substr(at, len))) {
            damaged("el nombre de su campo número " + std::to_string(i + 1) + " no se puede leer");
            badNames.push_back(i);
        } else {
            for (const FieldDef& g : fields)
                if (upperEquals(g.name, f.name)) {
                    damaged("dos de sus campos se llaman " + f.name);
                    badNames.push_back(i);
                    break;
                }
        }
        if (f.length == 0)
            warn("La tabla " + name + " tiene el campo " + f.name + " de longitud 0.");
        if (f.type == FieldType::Date && f.length != 8)
            warn("El campo de fecha " + f.name + " de la tabla " + name + " no mide 8.");
        if (f.type == FieldType::Logical && f.length != 1)
            warn("El campo lógico " + f.name + " de la tabla " + name + " no mide 1.");
        if ((f.type == FieldType::Numeric || f.type == FieldType::Float) && f.decimals > 0 && f.decimals >= f.length) {
            warn("El campo " + f.name + " de la tabla " + name + " tiene más decimales que su longitud.");
            f.decimals = f.length > 1 ? f.length - 2 : 0;
            if (f.decimals < 0)
                f.decimals = 0;
        }
        fields.push_back(std::move(f));
    }
    std::vector<std::string> taken;
    for (const FieldDef& f : fields)
        taken.push_back(f.name);
    for (std::size_t i : badNames) {
        taken[i].clear();
        taken[i] = fields[i].name = nameFor(i, taken);
    }
    return highBytes;
}

FieldType DbfTable::Impl::fieldType(char typeByte, const std::string& fieldName) const {
    const std::string name = label(path);
    switch (std::toupper(static_cast<unsigned char>(typeByte))) {
    case 'C': return FieldType::Character;
    case 'N': return FieldType::Numeric;
    case 'F': return FieldType::Float;
    case 'D': return FieldType::Date;
    case 'L': return FieldType::Logical;
    case 'M':
    case 'G':
    case 'B':
    case 'P':
        throw StoreError("La tabla " + name + " tiene el campo memo " + fieldName
                         + "; no se pueden leer tablas con campos memo.");
    default: {
        const auto raw = static_cast<unsigned char>(typeByte);
        const std::string shown = raw >= 0x20 && raw < 0x7F ? std::string(1, static_cast<char>(raw)) : hex(raw);
        throw StoreError("La tabla " + name + " tiene el campo " + fieldName + " de un tipo desconocido (" + shown
                         + ").");
    }
    }
}

// A name for a field whose own cannot be read or repeats, under which it is
// read and which a repair writes: the one the program's layout has at that
// place for a field of that type and length, else CAMPOn; never one the table
// already uses.
std::string DbfTable::Impl::nameFor(std::size_t field, const std::vector<std::string>& taken) const {
    const auto free = [&](const std::string& n) {
        return std::none_of(taken.begin(), taken.end(), [&](const std::string& t) { return upperEquals(t, n); });
    };
    const auto u8 = path.stem().u8string();
    for (const TableLayout& layout : tableLayouts()) {
        if (!upperEquals(layout.name, std::string(u8.begin(), u8.end())) || field >= layout.fields.size())
            continue;
        const FieldDef& want = layout.fields[field];
        const FieldDef& have = fields[field];
        if (want.type == have.type && want.length == have.length && free(want.name))
            return want.name;
    }
    for (int k = 1;; ++k) {
        const std::string name = "CAMPO" + std::to_string(field + 1) + (k > 1 ? "_" + std::to_string(k) : "");
        if (free(name))
            return name;
    }
}

// Record length: the sum of the fields, or a writer's long character fields
// (length's high byte in the decimals byte) when that matches.
void DbfTable::Impl::settleRecordLength(const HeaderFacts& h, const std::vector<int>& highBytes) {
    const std::string name = label(path);
    std::size_t sum = 1;
    std::size_t longSum = 1;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        sum += static_cast<std::size_t>(fields[i].length);
        longSum += static_cast<std::size_t>(fields[i].length) + static_cast<std::size_t>(highBytes[i]) * 256;
    }
    if (h.recordLength != sum && longSum != sum && h.recordLength == longSum) {
        for (std::size_t i = 0; i < fields.size(); ++i)
            fields[i].length += highBytes[i] * 256;
        sum = longSum;
    }
    recordLength = sum;
    const std::size_t likelyStart =
        h.headerLength > h.descriptorsEnd && h.headerLength <= h.descriptorsEnd + 1 ? h.headerLength : h.descriptorsEnd;
    const std::string lengths = " (" + std::to_string(h.recordLength) + ") ";
    const std::string disagree = "su encabezado da a cada renglón " + std::to_string(h.recordLength)
                                 + " caracteres, pero sus campos suman " + std::to_string(sum);
    if (h.recordLength > sum && h.fits(likelyStart, sum) && !h.fits(likelyStart, h.recordLength)) {
        damaged(disagree);
    } else if (h.recordLength > sum) {
        recordLength = h.recordLength;
        warn("La longitud de registro de la tabla " + name + lengths + "es mayor que la suma de sus campos ("
             + std::to_string(sum) + ").");
    } else if (h.recordLength < sum) {
        damaged(disagree);
    }
    offsets.clear();
    std::size_t off = 1;
    for (const FieldDef& f : fields) {
        offsets.push_back(off);
        off += static_cast<std::size_t>(f.length);
    }
}

// Where the records start: after the terminator, or where the header length
// says when other readers would skip that far too.
void DbfTable::Impl::settleDataStart(const HeaderFacts& h) {
    dataStart = h.descriptorsEnd;
    if (!h.terminated)
        return;
    const auto disagree = [&] {
        damaged("su encabezado dice que los renglones empiezan en el byte " + std::to_string(h.headerLength)
                + ", pero sus campos terminan en el byte " + std::to_string(h.descriptorsEnd));
    };
    if (h.headerLength > h.descriptorsEnd + 1 && h.fits(h.descriptorsEnd, recordLength)
        && !h.fits(h.headerLength, recordLength))
        disagree();  // a header length pointing past the records of a file exactly as long as its fields and count say
    else if (h.headerLength >= h.descriptorsEnd)
        dataStart = h.headerLength;  // one 0x00 after 0x0D, or padding: other readers skip it too
    else
        disagree();
}

// Keeps the header and the whole records the file holds, up to the header's
// count. One whole record past the count is what a save cut off before it
// raised the count leaves: not a saved row, and the next append takes its
// place. More than one cannot come from a cut-off save: they are rows the
// count lost, read and kept.
void DbfTable::Impl::takeRecords(std::string bytes, std::uint32_t headerCount) {
    const std::string name = label(path);
    const std::size_t size = bytes.size();
    std::size_t available = 0;
    if (dataStart <= size)
        available = (size - dataStart) / recordLength;
    else
        damaged("el archivo se corta antes de sus renglones");
    count = std::min<std::size_t>(headerCount, available);
    if (headerCount > available && dataStart <= size) {
        const std::size_t rest = size - dataStart - available * recordLength;
        const bool cutInRow = rest > 1 || (rest == 1 && bytes.back() != kEndMarker);
        const std::string counted = "su encabezado cuenta " + std::to_string(headerCount) + " renglones";
        damaged(cutInRow ? "el archivo se corta a la mitad de un renglón: " + counted + " y sólo "
                               + std::to_string(available) + " están completos"
                         : counted + ", pero el archivo sólo tiene " + std::to_string(available));
    } else if (headerCount < available) {
        std::size_t uncounted = 0;
        while (count + uncounted < available) {
            const char flag = bytes[dataStart + (count + uncounted) * recordLength];
            if (flag != kLive && flag != kDeleted)
                break;
            ++uncounted;
        }
        if (uncounted == 1) {
            warn("La tabla " + name
                 + " tiene 1 registro sin contar después del último (un guardado que no terminó); "
                   "no se lee.");
        } else if (uncounted > 1) {
            damaged("hay " + std::to_string(uncounted) + " renglones después de los " + std::to_string(headerCount)
                    + " que cuenta su encabezado");
            count += uncounted;
        }
    }
    damage.rowsKept = count;
    damage.rowsLost = headerCount > count ? headerCount - count : 0;

    header = bytes.substr(0, std::min(dataStart, size));
    if (header.size() < dataStart)
        header.resize(dataStart, '\0');
    // The records region reuses the file's buffer: no second copy of a large table.
    if (count > 0) {
        bytes.erase(0, dataStart);
        bytes.resize(count * recordLength);
        records = std::move(bytes);
    } else {
        records.clear();
    }

    for (std::size_t r = 0; r < count; ++r) {
        const char flag = records[r * recordLength];
        if (flag != kLive && flag != kDeleted) {
            warn("El registro " + std::to_string(r + 1) + " de la tabla " + name
                 + " tiene una marca de borrado desconocida (" + hex(static_cast<unsigned char>(flag))
                 + "); se trata como borrado.");
            break;
        }
    }
}

Value DbfTable::Impl::decode(std::size_t record, std::size_t field) const {
    const FieldDef& f = fields[field];
    const std::string_view raw(records.data() + record * recordLength + offsets[field],
                               static_cast<std::size_t>(f.length));
    const auto bad = [&](const char* what) {
        if (!fieldWarned[field]) {
            fieldWarned[field] = true;
            warn("El campo " + f.name + " de la tabla " + label(path) + " tiene " + what + " (registro "
                 + std::to_string(record + 1) + "); se lee como nulo.");
        }
        return Value();
    };
    switch (f.type) {
    case FieldType::Character: {
        const std::string_view text = withoutTrailingPadding(raw);
        if (text.empty())
            return {};
        return Value(codepage::decode(text, page));
    }
    case FieldType::Numeric:
    case FieldType::Float: {
        const std::string_view text = withoutPadding(raw);
        if (text.empty())
            return {};
        if (text.find_first_not_of('*') == std::string_view::npos)
            return {};  // a number that did not fit its field
        if (const auto n = storedNumber(text))
            return Value(*n);
        return bad("un número ilegible");
    }
    case FieldType::Date: {
        const std::string_view text = withoutPadding(raw);
        if (text.empty() || text == "00000000")
            return {};
        if (const auto d = parseDate(text))
            return Value(*d);
        return bad("una fecha inválida");
    }
    case FieldType::Logical: {
        const std::string_view text = withoutPadding(raw);
        if (text.empty())
            return {};
        switch (text[0]) {
        case 'T':
        case 't':
        case 'Y':
        case 'y': return Value(true);
        case 'F':
        case 'f':
        case 'N':
        case 'n': return Value(false);
        case '?': return {};
        default: return bad("un valor lógico inválido");
        }
    }
    }
    return {};
}

std::string DbfTable::Impl::encodeField(std::size_t field, const Value& v) const {
    const FieldDef& f = fields[field];
    const std::size_t width = static_cast<std::size_t>(f.length);
    const std::string where = "el campo " + f.name + " de la tabla " + label(path);
    if (v.isNull())
        return std::string(width, ' ');

    const auto tooLong = [&](const std::string& shown) {
        return StoreError("El valor \"" + shown + "\" no cabe en " + where + " (" + std::to_string(width)
                          + " caracteres).");
    };

    switch (f.type) {
    case FieldType::Character: {
        const std::string text = v.toString();
        std::string bytes;
        try {
            bytes = codepage::encode(text, page);
        } catch (const StoreError& e) {
            throw StoreError(std::string(e.what()) + " (" + where + ")");
        }
        if (bytes.size() > width)
            throw tooLong(text);
        bytes.resize(width, ' ');
        return bytes;
    }
    case FieldType::Numeric:
    case FieldType::Float: {
        double n = 0;
        if (v.isNumber()) {
            n = v.number();
        } else if (v.isText()) {
            const std::string_view text = withoutPadding(v.text());
            if (text.empty())
                return std::string(width, ' ');
            const auto parsed = storedNumber(text);
            if (!parsed)
                throw StoreError("\"" + v.text() + "\" no es un número; no se puede guardar en " + where + ".");
            n = *parsed;
        } else {
            throw StoreError("Sólo se pueden guardar números en " + where + ".");
        }
        if (!std::isfinite(n))
            throw StoreError("El número no es finito; no se puede guardar en " + where + ".");
        // Extra decimals are rounded half away from zero, as dBASE does.
        const double scale = std::pow(10.0, f.decimals);
        if (std::fabs(n) * scale < 9007199254740992.0)
            n = std::round(n * scale) / scale;
        char buf[400];
        std::to_chars_result res{};
        if (std::fabs(n) >= 1e300)
            res.ec = std::errc::value_too_large;
        else
            res = std::to_chars(buf, buf + sizeof buf, n, std::chars_format::fixed, f.decimals);
        if (res.ec != std::errc())
            throw tooLong(v.toString());
        std::string text(buf, res.ptr);
        // "-0.00" is zero.
        if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
            text.erase(0, 1);
        if (text.size() > width)
            throw StoreError("El número " + v.toString() + " no cabe en " + where + " (" + std::to_string(width)
                             + " posiciones, " + std::to_string(f.decimals) + " decimales).");
        return std::string(width - text.size(), ' ') + text;
    }
    case FieldType::Date: {
        std::optional<Date> d;
        if (v.isDate()) {
            d = v.date();
            if (!validDate(d->year, d->month, d->day) || d->year > 9999)
                throw StoreError("La fecha " + v.toString() + " no es válida (" + where + ").");
        } else if (v.isText()) {
            const std::string_view text = withoutPadding(v.text());
            if (text.empty())
                return std::string(width, ' ');
            d = parseDate(text);
            if (!d)
                throw StoreError("\"" + v.text() + "\" no es una fecha AAAAMMDD (" + where + ").");
        } else {
            throw StoreError("Sólo se pueden guardar fechas en " + where + ".");
        }
        std::string text = Value(*d).toString();
        if (text.size() > width)
            throw tooLong(text);
        text.resize(width, ' ');
        return text;
    }
    case FieldType::Logical: {
        std::optional<bool> b;
        if (v.isLogical()) {
            b = v.logical();
        } else if (v.isText()) {
            const std::string_view text = withoutPadding(v.text());
            if (text.empty())
                return std::string(width, ' ');
            if (text.size() == 1 && std::string_view("TtYy").find(text[0]) != std::string_view::npos)
                b = true;
            else if (text.size() == 1 && std::string_view("FfNn").find(text[0]) != std::string_view::npos)
                b = false;
        }
        if (!b)
            throw StoreError("Sólo se pueden guardar valores lógicos en " + where + ".");
        if (width < 1)
            throw tooLong(*b ? "T" : "F");
        std::string text(width, ' ');
        text[0] = *b ? 'T' : 'F';
        return text;
    }
    }
    return std::string(width, ' ');
}

std::string DbfTable::Impl::encodeRecord(const Row& row, char flag) const {
    if (row.size() > fields.size())
        throw StoreError("El renglón tiene " + std::to_string(row.size()) + " valores y la tabla " + label(path)
                         + " sólo " + std::to_string(fields.size()) + " campos.");
    std::string rec(recordLength, ' ');
    rec[0] = flag;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string bytes = encodeField(i, i < row.size() ? row[i] : Value());
        std::memcpy(rec.data() + offsets[i], bytes.data(), bytes.size());
    }
    return rec;
}

void DbfTable::Impl::requireWritable() const {
    if (!fileBacked)
        throw StoreError("La tabla " + label(path) + " no está en un archivo; no se puede escribir.");
    if (damage.any())
        throw StoreError("La tabla " + label(path) + " está dañada (" + damage.problems.front()
                         + "): sólo se puede leer y no se guardó nada en ella. Cierre el programa y ábralo de "
                           "nuevo para repararla.");
}

bool DbfTable::Impl::changedOnDisk() const {
    const auto now = stampOf(path);
    return !now || !(*now == stamp);
}

void DbfTable::Impl::refreshStamp() {
    if (const auto s = stampOf(path))
        stamp = *s;
}

void DbfTable::Impl::reload() {
    // Stamp first: a change made while we read is then seen next time.
    const auto before = stampOf(path);
    Impl fresh;
    fresh.path = path;
    fresh.fileBacked = true;
    fresh.parse(readWholeFile(path));
    if (before)
        fresh.stamp = *before;
    *this = std::move(fresh);
}

DbfTable::DbfTable(std::unique_ptr<Impl> impl) : d_(std::move(impl)) {}
DbfTable::~DbfTable() = default;

std::unique_ptr<DbfTable> DbfTable::open(const fs::path& file) {
    auto impl = std::make_unique<Impl>();
    impl->path = file;
    impl->fileBacked = true;
    impl->reload();
    return std::unique_ptr<DbfTable>(new DbfTable(std::move(impl)));
}

std::unique_ptr<DbfTable> DbfTable::fromBytes(std::string bytes, const fs::path& name) {
    auto impl = std::make_unique<Impl>();
    impl->path = name;
    impl->parse(std::move(bytes));
    return std::unique_ptr<DbfTable>(new DbfTable(std::move(impl)));
}

namespace {

std::string buildHeader(const fs::path& file, const std::vector<FieldDef>& fields, std::uint8_t codePageByte,
                        std::size_t count) {
    const std::string name = label(file);
    if (!codepage::fromHeaderByte(codePageByte))
        throw StoreError("Página de códigos desconocida (" + hex(codePageByte) + ") para la tabla " + name + ".");
    if (fields.empty() || fields.size() > 255)
        throw StoreError("La tabla " + name + " debe tener entre 1 y 255 campos.");
    std::size_t recordLength = 1;
    std::string header(kHeaderSize + kDescriptorSize * fields.size() + 1, '\0');
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldDef& f = fields[i];
        if (f.name.empty() || f.name.size() > 10)
            throw StoreError("El nombre de campo \"" + f.name + "\" de la tabla " + name
                             + " debe tener de 1 a 10 caracteres.");
        for (char c : f.name)
            if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
                throw StoreError("El nombre de campo \"" + f.name + "\" de la tabla " + name
                                 + " sólo admite letras, dígitos y _.");
        for (std::size_t j = 0; j < i; ++j)
            if (upperEquals(fields[j].name, f.name))
                throw StoreError("La tabla " + name + " tiene dos campos llamados " + f.name + ".");
        int maxLength = 254;
        switch (f.type) {
        case FieldType::Character: break;
        case FieldType::Numeric:
        case FieldType::Float: maxLength = 20; break;
        case FieldType::Date: maxLength = 8; break;
        case FieldType::Logical: maxLength = 1; break;
        }
        const bool numeric = f.type == FieldType::Numeric || f.type == FieldType::Float;
        if (f.length < 1 || f.length > maxLength || (f.type == FieldType::Date && f.length != 8)
            || (numeric && (f.decimals < 0 || (f.decimals > 0 && f.decimals > f.length - 2)))
            || (!numeric && f.decimals != 0))
            throw StoreError("El campo " + f.name + " de la tabla " + name + " tiene una longitud inválida ("
                             + typeName(f.type) + " " + std::to_string(f.length) + "," + std::to_string(f.decimals)
                             + ").");
        char* d = header.data() + kHeaderSize + i * kDescriptorSize;
        for (std::size_t k = 0; k < f.name.size(); ++k)
            d[k] = static_cast<char>(std::toupper(static_cast<unsigned char>(f.name[k])));
        d[11] = static_cast<char>(f.type);
        d[16] = static_cast<char>(f.length);
        d[17] = static_cast<char>(numeric ? f.decimals : 0);
        recordLength += static_cast<std::size_t>(f.length);
    }
    if (recordLength > 0xFFFF)
        throw StoreError("Los registros de la tabla " + name + " son demasiado largos.");
    if (count > 0xFFFFFFFFu)
        throw StoreError("La tabla " + name + " tendría demasiados registros.");
    header[0] = 0x03;
    todayStamp(header.data() + 1);
    put32(header.data() + 4, static_cast<std::uint32_t>(count));
    put16(header.data() + 8, static_cast<std::uint16_t>(header.size()));
    put16(header.data() + 10, static_cast<std::uint16_t>(recordLength));
    header[29] = static_cast<char>(codePageByte);
    header.back() = kTerminator;
    return header;
}

fs::path scratchBeside(const fs::path& file) {
    fs::path tmp = file;
    tmp += ".tmp";
    return tmp;
}

// Writes bytes to a scratch file beside target, flushes it and renames it over target.
void writeReplacing(const fs::path& target, const std::string& bytes) {
    const fs::path tmp = scratchBeside(target);
    try {
        platform::SyncFile out(tmp, platform::SyncFile::Mode::CreateOrTruncate);
        out.writeAt(0, bytes.data(), bytes.size());
        out.sync();
        out.close();
        platform::replaceFile(tmp, target);
    } catch (const platform::FileInUse&) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
        throw StoreError(
            "No se pudo reemplazar la tabla " + label(target)
            + ": otro programa la tiene abierta. La tabla quedó como estaba; ciérrelo e intente de nuevo.");
    } catch (const std::system_error& e) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
        throw StoreError("No se pudo escribir la tabla " + label(target) + ": " + platform::errorText(e.code()));
    }
}

}  // namespace

void DbfTable::create(const fs::path& file, const std::vector<FieldDef>& fields, std::uint8_t codePageByte) {
    createWithRows(file, fields, {}, codePageByte);
}

void DbfTable::createWithRows(const fs::path& file, const std::vector<FieldDef>& fields, const std::vector<Row>& rows,
                              std::uint8_t codePageByte) {
    std::error_code ec;
    if (fs::exists(file, ec))
        throw StoreError("La tabla " + label(file) + " ya existe.");
    std::string bytes = buildHeader(file, fields, codePageByte, rows.size());
    if (!rows.empty()) {
        // Encode through a table view of the new header, so the rules are the ones of append.
        Impl view;
        view.path = file;
        view.parse(bytes);
        for (const Row& row : rows)
            bytes += view.encodeRecord(row, kLive);
    }
    bytes += kEndMarker;
    writeReplacing(file, bytes);
}

const fs::path& DbfTable::path() const { return d_->path; }
const std::vector<FieldDef>& DbfTable::fields() const { return d_->fields; }
const std::vector<std::size_t>& DbfTable::fieldOffsets() const { return d_->offsets; }
std::uint8_t DbfTable::codePageByte() const { return d_->codePageByte; }
std::uint8_t DbfTable::versionByte() const { return d_->version; }
std::size_t DbfTable::recordCount() const { return d_->count; }
const std::vector<std::string>& DbfTable::warnings() const { return d_->warnings; }
const TableDamage& DbfTable::damage() const { return d_->damage; }

int DbfTable::fieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < d_->fields.size(); ++i)
        if (upperEquals(d_->fields[i].name, name))
            return static_cast<int>(i);
    return -1;
}

namespace {
[[noreturn]] void noRecord(const fs::path& file, std::size_t record) {
    throw StoreError("La tabla " + label(file) + " no tiene el registro " + std::to_string(record + 1) + ".");
}
}  // namespace

bool DbfTable::isDeleted(std::size_t record) const {
    if (record >= d_->count)
        noRecord(d_->path, record);
    // Only 0x20 is a live record: other readers skip any other mark too, and
    // a run of zero bytes is what a file system leaves of unwritten records.
    return d_->records[record * d_->recordLength] != kLive;
}

std::string_view DbfTable::rawRecord(std::size_t record) const {
    if (record >= d_->count)
        noRecord(d_->path, record);
    return std::string_view(d_->records).substr(record * d_->recordLength, d_->recordLength);
}

Row DbfTable::read(std::size_t record) const {
    if (record >= d_->count)
        noRecord(d_->path, record);
    Row row;
    row.reserve(d_->fields.size());
    for (std::size_t f = 0; f < d_->fields.size(); ++f)
        row.push_back(d_->decode(record, f));
    return row;
}

Value DbfTable::read(std::size_t record, std::size_t field) const {
    if (record >= d_->count)
        noRecord(d_->path, record);
    if (field >= d_->fields.size())
        throw StoreError("La tabla " + label(d_->path) + " no tiene el campo " + std::to_string(field) + ".");
    return d_->decode(record, field);
}

namespace {

// Whether the header on disk still gives the record count and lengths we
// hold, read back through the handle we are about to write with: a check that
// holds whatever the resolution of the file's stamps.
bool headerStillOurs(platform::SyncFile& file, const DbfTable::Impl& d) {
    char onDisk[8];
    return file.readAt(4, onDisk, sizeof onDisk) && std::memcmp(onDisk, d.header.data() + 4, sizeof onDisk) == 0;
}

}  // namespace

std::size_t DbfTable::append(const Row& row) {
    d_->requireWritable();
    if (d_->changedOnDisk())
        d_->reload();  // appends do not depend on record numbers
    std::optional<platform::SyncFile> file;
    try {
        file.emplace(d_->path, platform::SyncFile::Mode::OpenExisting);
        if (!headerStillOurs(*file, *d_)) {
            file.reset();
            d_->reload();
            file.emplace(d_->path, platform::SyncFile::Mode::OpenExisting);
        }
    } catch (const std::system_error& e) {
        throw StoreError("No se pudo guardar el renglón en la tabla " + label(d_->path) + ": "
                         + platform::errorText(e.code()));
    }
    d_->requireWritable();
    const std::string rec = d_->encodeRecord(row, kLive);
    if (d_->count >= 0xFFFFFFFFu)
        throw StoreError("La tabla " + label(d_->path) + " está llena.");
    const std::size_t record = d_->count;
    try {
        std::string tail = rec;
        tail += kEndMarker;
        file->writeAt(d_->dataStart + record * d_->recordLength, tail.data(), tail.size());
        file->sync();
        // Only now does the row count: date and record count in one write.
        char stamp[7];
        todayStamp(stamp);
        put32(stamp + 3, static_cast<std::uint32_t>(record + 1));
        file->writeAt(1, stamp, sizeof stamp);
        file->sync();
        file->close();
        std::memcpy(d_->header.data() + 1, stamp, sizeof stamp);
    } catch (const std::system_error& e) {
        d_->stamp = {};  // whatever reached the disk is read again next time
        throw StoreError("No se pudo guardar el renglón en la tabla " + label(d_->path) + ": "
                         + platform::errorText(e.code()));
    }
    d_->records += rec;
    d_->count = record + 1;
    d_->refreshStamp();
    return record;
}

namespace {

[[noreturn]] void recordChanged(const DbfTable::Impl& d, std::size_t record) {
    throw StoreError("El registro " + std::to_string(record + 1) + " de la tabla " + label(d.path)
                     + " cambió en el disco desde que se leyó; no se guardó.");
}

// Writes data over the start of a record and stamps the header's date, once
// the record and the header's lengths, read back through the same handle, are
// found to be the ones we read. False, with nothing written, when they are not.
bool writeRecordInPlace(const DbfTable::Impl& d, std::size_t record, const char* data, std::size_t size) {
    const std::size_t at = d.dataStart + record * d.recordLength;
    try {
        platform::SyncFile out(d.path, platform::SyncFile::Mode::OpenExisting);
        char lengths[4];
        std::string onDisk(d.recordLength, '\0');
        if (!out.readAt(8, lengths, sizeof lengths) || std::memcmp(lengths, d.header.data() + 8, sizeof lengths) != 0
            || !out.readAt(at, onDisk.data(), onDisk.size())
            || d.records.compare(record * d.recordLength, d.recordLength, onDisk) != 0)
            return false;
        out.writeAt(at, data, size);
        char date[3];
        todayStamp(date);
        out.writeAt(1, date, sizeof date);
        out.sync();
        out.close();
    } catch (const std::system_error& e) {
        throw StoreError("No se pudo escribir en la tabla " + label(d.path) + ": " + platform::errorText(e.code()));
    }
    return true;
}

}  // namespace

// Before a write at a record number: when another program changed the file,
// re-read it and go on only if the record is still the one we read.
static void checkRecordStillOurs(DbfTable::Impl& d, std::size_t record) {
    if (record >= d.count)
        noRecord(d.path, record);
    if (!d.changedOnDisk())
        return;
    const std::string before = d.records.substr(record * d.recordLength, d.recordLength);
    d.reload();
    if (record >= d.count || d.records.compare(record * d.recordLength, d.recordLength, before) != 0)
        recordChanged(d, record);
}

// Writes over a record that checkRecordStillOurs let through.
static void writeRecord(DbfTable::Impl& d, std::size_t record, const char* data, std::size_t size) {
    d.stamp = {};  // whatever reached the disk is read again next time
    if (!writeRecordInPlace(d, record, data, size)) {
        d.reload();
        recordChanged(d, record);
    }
    std::memcpy(d.records.data() + record * d.recordLength, data, size);
    d.refreshStamp();
}

void DbfTable::update(std::size_t record, const Row& row) {
    d_->requireWritable();
    checkRecordStillOurs(*d_, record);
    d_->requireWritable();
    if (row.size() != d_->fields.size())
        throw StoreError("El renglón tiene " + std::to_string(row.size()) + " valores y la tabla " + label(d_->path)
                         + " tiene " + std::to_string(d_->fields.size()) + " campos.");
    // The deletion mark stays as it is.
    const std::string rec = d_->encodeRecord(row, d_->records[record * d_->recordLength]);
    writeRecord(*d_, record, rec.data(), rec.size());
}

void DbfTable::markDeleted(std::size_t record) {
    d_->requireWritable();
    checkRecordStillOurs(*d_, record);
    d_->requireWritable();
    writeRecord(*d_, record, &kDeleted, 1);
}

bool DbfTable::reloadIfChanged() {
    if (!d_->fileBacked || !d_->changedOnDisk())
        return false;
    d_->reload();
    return true;
}

namespace {

// The file a pack or a repair writes: the header as read, with the count,
// lengths and terminator as we read them, then the records `keep` lets through.
template <typename Keep> std::string rewritten(const DbfTable::Impl& d, Keep keep, std::size_t& written) {
    if (d.recordLength > 0xFFFF || d.dataStart > 0xFFFF)
        throw StoreError("La tabla " + label(d.path) + " está demasiado dañada para reescribirla.");
    std::string bytes = d.header;
    written = 0;
    for (std::size_t r = 0; r < d.count; ++r) {
        if (!keep(r))
            continue;
        bytes.append(d.records, r * d.recordLength, d.recordLength);
        ++written;
    }
    bytes += kEndMarker;
    todayStamp(bytes.data() + 1);
    put32(bytes.data() + 4, static_cast<std::uint32_t>(written));
    put16(bytes.data() + 8, static_cast<std::uint16_t>(d.dataStart));
    put16(bytes.data() + 10, static_cast<std::uint16_t>(d.recordLength));
    bytes[kHeaderSize + d.fields.size() * kDescriptorSize] = kTerminator;
    return bytes;
}

// NAME-antes-de-reparar-YYYYMMDD-HHMMSS.ext beside the file, one not yet there.
fs::path copyName(const fs::path& file) {
    const std::tm tm = localNow();
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
    const std::string base = label(file.stem()) + "-antes-de-reparar-" + stamp;
    for (int n = 1;; ++n) {
        const std::string name = base + (n > 1 ? "-" + std::to_string(n) : "") + label(file.extension());
        const fs::path p = file.parent_path() / fs::path(std::u8string(name.begin(), name.end()));
        std::error_code ec;
        if (!fs::exists(p, ec))
            return p;
    }
}

}  // namespace

void packTable(const fs::path& file) {
    const auto table = DbfTable::open(file);
    const DbfTable::Impl& d = *table->d_;
    if (d.damage.any())
        throw StoreError("La tabla " + label(file) + " está dañada (" + d.damage.problems.front()
                         + "); no se empaqueta. Ábrala con el programa ZELTAR para repararla.");
    std::size_t live = 0;
    writeReplacing(file, rewritten(
                             d, [&](std::size_t r) { return d.records[r * d.recordLength] == kLive; }, live));
}

RepairResult repairTable(const fs::path& file) {
    const std::string original = readWholeFile(file);
    DbfTable::Impl d;
    d.path = file;
    d.fileBacked = true;
    d.parse(original);
    if (!d.damage.any())
        return {{}, d.count, 0};
    RepairResult result;
    std::string bytes = rewritten(
        d, [](std::size_t) { return true; }, result.kept);
    result.lost = d.damage.rowsLost;
    for (std::size_t field : d.badNames) {
        char* at = bytes.data() + kHeaderSize + field * kDescriptorSize;
        std::memset(at, 0, 11);
        std::memcpy(at, d.fields[field].name.data(), std::min<std::size_t>(d.fields[field].name.size(), 10));
    }
    // The damaged bytes are kept before anything replaces them.
    result.copy = copyName(file);
    writeReplacing(result.copy, original);
    writeReplacing(file, bytes);
    return result;
}

std::string damageText(const std::string& table, const TableDamage& damage) {
    std::string text = "La tabla " + table + " está dañada: ";
    for (std::size_t i = 0; i < damage.problems.size(); ++i)
        text += (i ? "; " : "") + damage.problems[i];
    const std::size_t kept = damage.rowsKept, lost = damage.rowsLost;
    text += kept == 1 ? ". Se puede leer 1 renglón" : ". Se pueden leer " + std::to_string(kept) + " renglones";
    if (lost > 0)
        text += lost == 1 ? "; 1 no se puede leer" : "; " + std::to_string(lost) + " no se pueden leer";
    return text + ".";
}

}  // namespace store
