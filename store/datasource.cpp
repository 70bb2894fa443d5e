#include "datasource.h"

#include <algorithm>
#include <cctype>
#include <numeric>

#include "bytes.h"
#include "sql.h"
#include "text.h"

namespace store {

namespace {

// "dBASE III;" and "FoxPro 2.5;", in any case, the ';' optional.
bool knownConnect(std::string_view connect) {
    std::string c = upperAscii(trimBlanks(connect));
    if (!c.empty() && c.back() == ';')
        c.pop_back();
    return c == "DBASE III" || c == "FOXPRO 2.5";
}

[[noreturn]] void conversionError(const FieldDef& f, const std::string& text) {
    throw StoreError("Error de conversión de tipos de datos: \"" + text + "\" no sirve para el campo " + f.name + ".");
}

// The value as the field's type holds it, the way bound text boxes write
// numbers and dates as text.
Value convertFor(const FieldDef& f, Value v) {
    if (v.isNull())
        return v;
    switch (f.type) {
    case FieldType::Character: return v.isText() ? v : Value(v.toString());
    case FieldType::Numeric:
    case FieldType::Float: {
        if (v.isNumber())
            return v;
        if (!v.isText())
            conversionError(f, v.toString());
        const std::string_view t = trimBlanks(v.text());
        if (t.empty())
            return Value();
        const auto d = numberInText(t);
        if (!d)
            conversionError(f, v.text());
        return Value(*d);
    }
    case FieldType::Date: {
        if (v.isDate())
            return v;
        if (!v.isText())
            conversionError(f, v.toString());
        std::string_view t = trimBlanks(v.text());
        if (t.empty())
            return Value();
        if (t.size() == 8 && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            auto num = [&](std::size_t at, std::size_t n) {
                int r = 0;
                for (std::size_t i = at; i < at + n; ++i)
                    r = r * 10 + (t[i] - '0');
                return r;
            };
            Date d{num(0, 4), num(4, 2), num(6, 2)};
            if (d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= 31)
                return Value(d);
        }
        conversionError(f, v.text());
    }
    case FieldType::Logical: {
        if (v.isLogical())
            return v;
        if (v.isNumber())
            return Value(v.number() != 0);
        if (!v.isText())
            conversionError(f, v.toString());
        const std::string t = upperAscii(trimBlanks(v.text()));
        if (t.empty())
            return Value();
        if (t == "T" || t == "Y" || t == "S" || t == ".T.")
            return Value(true);
        if (t == "F" || t == "N" || t == ".F.")
            return Value(false);
        conversionError(f, v.text());
    }
    }
    return v;
}

}  // namespace

DataSource::DataSource(Database& db, std::string connect, std::string recordSource)
    : db_(db), connect_(std::move(connect)), recordSource_(std::move(recordSource)) {
    if (!knownConnect(connect_))
        throw StoreError("Conexión no admitida: \"" + connect_ + "\". Se esperaba \"dBASE III;\" o \"FoxPro 2.5;\".");
}

void DataSource::setRecordSource(std::string recordSource) { recordSource_ = std::move(recordSource); }

void DataSource::refresh() {
    // Everything is read before anything changes, so a failure leaves the
    // data source as it was.
    std::string name;
    DbfTable* t = nullptr;
    std::vector<int> columns;
    std::vector<std::size_t> rows;
    if (isStatement(recordSource_)) {
        const Statement st = Statement::parse(recordSource_);
        name = st.tableName();
        t = &db_.table(name);
        Statement::Result r = st.evaluate(*t);
        columns = std::move(r.columns);
        rows = std::move(r.records);
    } else {
        name = std::string(trimBlanks(recordSource_));
        if (name.empty())
            throw StoreError("El origen de los datos está vacío.");
        t = &db_.table(name);
        columns.resize(t->fields().size());
        std::iota(columns.begin(), columns.end(), 0);
        const std::size_t n = t->recordCount();
        rows.reserve(n);
        for (std::size_t rec = 0; rec < n; ++rec)
            if (!t->isDeleted(rec))
                rows.push_back(rec);
    }
    table_ = t;
    tableName_ = std::move(name);
    columns_ = std::move(columns);
    rows_ = std::move(rows);
    liveDirty_ = true;
    cur_ = 0;
    onDeleted_ = false;
    mode_ = EditMode::None;
    buffer_.clear();
    lastModified_.reset();
    open_ = true;
    notify();
}

DbfTable& DataSource::table() const {
    requireOpen();
    return *table_;
}

void DataSource::requireOpen() const {
    if (!open_ || !table_)
        throw StoreError("El origen de datos no está abierto.");
}

bool DataSource::rowGone(std::size_t record) const {
    return record >= table_->recordCount() || table_->isDeleted(record);
}

// Past either end, both are true when no live row is left in the set.
bool DataSource::eof() const {
    if (!open_)
        return true;
    if (onDeleted_)
        return false;
    const auto n = std::ptrdiff_t(rows_.size());
    if (cur_ >= n)
        return true;
    return cur_ < 0 && liveFrom(0, +1) >= n;
}

bool DataSource::bof() const {
    if (!open_)
        return true;
    if (onDeleted_)
        return false;
    const auto n = std::ptrdiff_t(rows_.size());
    if (cur_ < 0)
        return true;
    return cur_ >= n && liveFrom(0, +1) >= n;
}

// The first index from i on (in the direction of step) whose row is live;
// -1 or rows_.size() when there is none.
std::ptrdiff_t DataSource::liveFrom(std::ptrdiff_t i, int step) const {
    const auto n = std::ptrdiff_t(rows_.size());
    while (i >= 0 && i < n && rowGone(rows_[std::size_t(i)]))
        i += step;
    return std::clamp<std::ptrdiff_t>(i, -1, n);
}

void DataSource::placeAt(std::ptrdiff_t i) {
    mode_ = EditMode::None;
    buffer_.clear();
    cur_ = i;
    onDeleted_ = false;
    notify();
}

// A move checks that it can go before running the hook and again after it,
// since a hook may act on this data source itself.
void DataSource::moveFirst() {
    requireOpen();
    auto nowhere = [this] { return liveFrom(0, +1) >= std::ptrdiff_t(rows_.size()); };
    if (nowhere())
        throw NoCurrentRecord();
    if (!runHook(Action::MoveFirst))
        return;
    if (nowhere())
        throw NoCurrentRecord();
    placeAt(liveFrom(0, +1));
}

void DataSource::moveLast() {
    requireOpen();
    auto last = [this] { return liveFrom(std::ptrdiff_t(rows_.size()) - 1, -1); };
    if (last() < 0)
        throw NoCurrentRecord();
    if (!runHook(Action::MoveLast))
        return;
    if (last() < 0)
        throw NoCurrentRecord();
    placeAt(last());
}

void DataSource::moveNext() {
    requireOpen();
    if (eof())
        throw NoCurrentRecord();
    if (!runHook(Action::MoveNext))
        return;
    if (eof())
        throw NoCurrentRecord();
    placeAt(liveFrom(std::max<std::ptrdiff_t>(cur_ + 1, 0), +1));
}

void DataSource::movePrevious() {
    requireOpen();
    if (bof())
        throw NoCurrentRecord();
    if (!runHook(Action::MovePrevious))
        return;
    if (bof())
        throw NoCurrentRecord();
    placeAt(liveFrom(std::min<std::ptrdiff_t>(cur_, std::ptrdiff_t(rows_.size())) - 1, -1));
}

void DataSource::moveTo(std::size_t row) {
    requireOpen();
    ensureLive();
    if (row >= live_.size())
        throw NoCurrentRecord();
    const std::size_t record = live_[row];
    if (!runHook(Action::Bookmark))
        return;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i] == record) {
            placeAt(std::ptrdiff_t(i));
            return;
        }
}

void DataSource::ensureLive() const {
    if (!liveDirty_)
        return;
    live_.clear();
    liveIndex_.assign(rows_.size(), -1);
    if (open_ && table_) {
        live_.reserve(rows_.size());
        for (std::size_t i = 0; i < rows_.size(); ++i)
            if (!rowGone(rows_[i])) {
                liveIndex_[i] = std::ptrdiff_t(live_.size());
                live_.push_back(rows_[i]);
            }
    }
    liveDirty_ = false;
}

const std::vector<std::size_t>& DataSource::records() const {
    ensureLive();
    return live_;
}

std::size_t DataSource::recordCount() const { return records().size(); }

std::optional<std::size_t> DataSource::position() const {
    if (eof() || bof() || onDeleted_)
        return std::nullopt;
    ensureLive();
    const std::ptrdiff_t i = liveIndex_[std::size_t(cur_)];
    if (i < 0)
        return std::nullopt;
    return std::size_t(i);
}

std::optional<std::size_t> DataSource::currentRecord() const {
    if (eof() || bof())
        return std::nullopt;
    return rows_[std::size_t(cur_)];
}

std::size_t DataSource::fieldCount() const { return open_ ? columns_.size() : 0; }

const FieldDef& DataSource::fieldDef(std::size_t pos) const {
    if (pos >= fieldCount())
        throw StoreError("No se encuentra el elemento " + std::to_string(pos) + " en esta colección.");
    return table().fields()[std::size_t(columns_[pos])];
}

std::string DataSource::fieldName(std::size_t pos) const { return fieldDef(pos).name; }

int DataSource::fieldIndex(std::string_view name) const {
    if (!open_)
        return -1;
    const std::string wanted = upperAscii(trimBlanks(name));
    const auto& fields = table_->fields();
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (upperAscii(fields[std::size_t(columns_[i])].name) == wanted)
            return int(i);
    return -1;
}

std::size_t DataSource::columnOf(std::string_view name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        throw StoreError("No se encuentra el elemento \"" + std::string(name) + "\" en esta colección.");
    return std::size_t(i);
}

Value DataSource::field(std::size_t pos) const {
    fieldDef(pos);  // range check
    if (mode_ != EditMode::None)
        return buffer_[pos];
    if (onDeleted_)
        throw StoreError("El registro ha sido borrado.");
    if (eof() || bof())
        throw NoCurrentRecord();
    const std::size_t record = rows_[std::size_t(cur_)];
    if (rowGone(record))
        throw StoreError("El registro ha sido borrado.");
    return table_->read(record, std::size_t(columns_[pos]));
}

Value DataSource::field(std::string_view name) const { return field(columnOf(name)); }

Row DataSource::currentValues() const {
    Row r;
    r.reserve(fieldCount());
    for (std::size_t i = 0; i < fieldCount(); ++i)
        r.push_back(field(i));
    return r;
}

Value DataSource::valueAt(std::size_t row, std::size_t pos) const {
    fieldDef(pos);
    ensureLive();
    if (row >= live_.size())
        throw NoCurrentRecord();
    return table_->read(live_[row], std::size_t(columns_[pos]));
}

void DataSource::requireBuffer() const {
    if (mode_ == EditMode::None)
        throw StoreError("No hay un registro nuevo ni uno en edición.");
}

void DataSource::setField(std::size_t pos, Value v) {
    const FieldDef& def = fieldDef(pos);
    requireBuffer();
    buffer_[pos] = convertFor(def, std::move(v));
}

void DataSource::setField(std::string_view name, Value v) { setField(columnOf(name), std::move(v)); }

void DataSource::addNew() {
    requireOpen();
    if (!runHook(Action::AddNew))
        return;
    buffer_.assign(columns_.size(), Value());
    mode_ = EditMode::AddNew;
    notify();
}

void DataSource::edit() {
    requireOpen();
    if (onDeleted_)
        throw StoreError("El registro ha sido borrado.");
    if (eof() || bof())
        throw NoCurrentRecord();
    const std::size_t record = rows_[std::size_t(cur_)];
    if (rowGone(record))
        throw StoreError("El registro ha sido borrado.");
    Row values;
    values.reserve(columns_.size());
    for (int c : columns_)
        values.push_back(table_->read(record, std::size_t(c)));
    buffer_ = std::move(values);
    mode_ = EditMode::Edit;
    notify();
}

void DataSource::update(bool runValidation) {
    requireOpen();
    requireBuffer();
    if (runValidation && !runHook(Action::Update))
        return;
    DbfTable& t = *table_;
    // Columns the set does not show (a projection) keep what the row holds.
    Row full;
    std::size_t written = 0;
    if (mode_ == EditMode::AddNew) {
        full.assign(t.fields().size(), Value());
        for (std::size_t i = 0; i < columns_.size(); ++i)
            full[std::size_t(columns_[i])] = buffer_[i];
        written = t.append(full);
        const bool atEnd = !onDeleted_ && cur_ >= std::ptrdiff_t(rows_.size());
        rows_.push_back(written);
        if (atEnd)
            cur_ = std::ptrdiff_t(rows_.size());
        liveDirty_ = true;
    } else {
        if (onDeleted_ || eof() || bof())
            throw NoCurrentRecord();
        written = rows_[std::size_t(cur_)];
        if (rowGone(written))
            throw StoreError("El registro ha sido borrado.");
        full = t.read(written);
        for (std::size_t i = 0; i < columns_.size(); ++i)
            full[std::size_t(columns_[i])] = buffer_[i];
        t.update(written, full);
    }
    lastModified_ = written;
    mode_ = EditMode::None;
    buffer_.clear();
    notify();
}

void DataSource::cancelUpdate() {
    if (mode_ == EditMode::None)
        return;
    mode_ = EditMode::None;
    buffer_.clear();
    notify();
}

void DataSource::deleteCurrent() {
    requireOpen();
    if (onDeleted_ || eof() || bof())
        throw NoCurrentRecord();
    const std::size_t record = rows_[std::size_t(cur_)];
    if (rowGone(record))
        throw StoreError("El registro ha sido borrado.");
    if (!runHook(Action::Delete))
        return;
    table_->markDeleted(record);
    mode_ = EditMode::None;
    buffer_.clear();
    onDeleted_ = true;
    liveDirty_ = true;
    notify();
}

void DataSource::moveToLastModified() {
    requireOpen();
    if (!lastModified_)
        throw NoCurrentRecord();
    auto it = std::find(rows_.begin(), rows_.end(), *lastModified_);
    if (it == rows_.end() || rowGone(*it))
        throw NoCurrentRecord();
    if (runHook(Action::Bookmark))
        placeAt(it - rows_.begin());
}

bool DataSource::runHook(Action a) { return !hook_ || hook_(a); }

int DataSource::addListener(Listener l) {
    const int id = nextListener_++;
    listeners_.emplace_back(id, std::move(l));
    return id;
}

void DataSource::removeListener(int id) {
    std::erase_if(listeners_, [id](const auto& p) { return p.first == id; });
}

void DataSource::notify() {
    // A listener may add or remove listeners while being told.
    const auto copy = listeners_;
    for (const auto& [id, l] : copy)
        if (std::any_of(listeners_.begin(), listeners_.end(), [id = id](const auto& p) { return p.first == id; }))
            l();
}

}  // namespace store
