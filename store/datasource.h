// A named data source: a record set over a table or a statement, with a
// current row, a copy buffer for adding and editing, and the hook that runs
// before another row becomes current.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database.h"
#include "value.h"

namespace store {

enum class EditMode { None, Edit, AddNew };

// The row asked for is not there: no current row (end or start of the set, an
// empty set), or a move past either end. Callers that walk a set which may be
// empty catch this one apart from every other StoreError.
class NoCurrentRecord : public StoreError {
public:
    NoCurrentRecord() : StoreError("No hay registro actual.") {}
};

// What the data source is about to do when it calls its validation hook.
enum class Action { MoveFirst, MovePrevious, MoveNext, MoveLast, AddNew, Update, Delete, Bookmark, Close };

class DataSource {
public:
    // connect: "dBASE III;" or "FoxPro 2.5;" (both accepted, nothing else).
    DataSource(Database& db, std::string connect, std::string recordSource);

    const std::string& recordSource() const { return recordSource_; }
    void setRecordSource(std::string recordSource);  // takes effect on refresh()

    // Re-reads the record source; the first row becomes current, or eof().
    // Any pending copy buffer is dropped. Throws StoreError (and leaves the
    // data source as it was) for a bad statement or a missing table.
    void refresh();
    bool isOpen() const { return open_; }

    // Record set. eof() and bof() are both true on an empty set. A move runs
    // the validation hook (a cancel stops it), drops a pending copy buffer and
    // goes past rows marked deleted. moveFirst/moveLast on an empty set,
    // moveNext at eof() and movePrevious at bof() throw NoCurrentRecord
    // before the hook and move nothing. Moving next from the last row gives eof().
    bool eof() const;
    bool bof() const;
    void moveFirst();
    void moveNext();
    void movePrevious();
    void moveLast();
    std::size_t recordCount() const;              // rows of the record set (live ones)
    std::optional<std::size_t> position() const;  // index of the current row in the set

    std::size_t fieldCount() const;
    std::string fieldName(std::size_t pos) const;
    int fieldIndex(std::string_view name) const;  // -1 when absent
    const FieldDef& fieldDef(std::size_t pos) const;

    // The current row's value (the copy buffer's while adding or editing).
    // Throws StoreError "No hay registro actual." when there is no current row.
    Value field(std::size_t pos) const;
    Value field(std::string_view name) const;
    // Sets a value in the copy buffer; only while adding or editing.
    // A text put into a numeric, date or logical field is converted (a blank
    // text becomes null); one that does not convert throws StoreError. Setting
    // a field does not notify the listeners: the caller made the change.
    void setField(std::size_t pos, Value v);
    void setField(std::string_view name, Value v);

    // addNew, update, deleteCurrent and moveToLastModified run the hook too
    // (AddNew, Update, Delete, Bookmark), so a hook must look at its action.
    void addNew();  // copy buffer of a new blank row (drops a pending one)
    void edit();    // copy buffer of the current row; throws NoCurrentRecord
    // Writes the copy buffer (append or update). Throws and keeps the buffer
    // when a value cannot be written. runHook=false skips the validation hook.
    // An added row joins the end of the set; the current row does not change.
    void update(bool runHook = true);
    void cancelUpdate();  // drops the copy buffer; nothing when there is none
    // Marks the row deleted. It stays current (its fields can no longer be
    // read) until the next move, which goes past it; it leaves records().
    void deleteCurrent();
    EditMode editMode() const { return mode_; }
    // Makes the row written last by update() current.
    void moveToLastModified();
    std::optional<std::size_t> lastModifiedRecord() const { return lastModified_; }

    // Record number in the table of the current row (for grids and tests).
    std::optional<std::size_t> currentRecord() const;
    // Rows of the set as record numbers (grids walk them), without the rows
    // deleted since the refresh (those deleted through another data source
    // leave it at the next change of this one).
    const std::vector<std::size_t>& records() const;
    Value valueAt(std::size_t row, std::size_t pos) const;  // row: index in records()
    // Makes row `row` of records() current (a grid's click). Runs the hook
    // with Action::Bookmark and drops a pending copy buffer.
    void moveTo(std::size_t row);
    // The values the current row shows (the copy buffer's while adding or editing).
    Row currentValues() const;

    // Runs before the data source acts; returns false to stop the action.
    using ValidateHook = std::function<bool(Action action)>;
    void setValidateHook(ValidateHook hook) { hook_ = std::move(hook); }

    // Told after the current row or its values change (bound controls re-read).
    using Listener = std::function<void()>;
    int addListener(Listener l);
    void removeListener(int id);

    Database& database() { return db_; }

private:
    bool runHook(Action a);
    void notify();
    DbfTable& table() const;
    std::size_t columnOf(std::string_view name) const;
    void requireBuffer() const;
    std::ptrdiff_t liveFrom(std::ptrdiff_t i, int step) const;
    void placeAt(std::ptrdiff_t i);
    void requireOpen() const;
    bool rowGone(std::size_t record) const;
    void ensureLive() const;

    Database& db_;
    std::string connect_;
    std::string recordSource_;
    std::string tableName_;
    bool open_ = false;
    std::vector<int> columns_;                       // table field of each column
    std::vector<std::size_t> rows_;                  // record numbers of the set, also those deleted since refresh
    mutable std::vector<std::size_t> live_;          // rows_ without deleted records (built when asked for)
    mutable std::vector<std::ptrdiff_t> liveIndex_;  // per rows_ entry: its index in live_, or -1
    mutable bool liveDirty_ = true;
    std::ptrdiff_t cur_ = -1;    // index into rows_; -1 bof side, rows_.size() eof side
    DbfTable* table_ = nullptr;  // owned by db_; set by refresh()
    bool onDeleted_ = false;     // the current row (rows_[cur_]) was deleted through us
    EditMode mode_ = EditMode::None;
    Row buffer_;  // in column order
    std::optional<std::size_t> lastModified_;
    ValidateHook hook_;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextListener_ = 1;
};

}  // namespace store
