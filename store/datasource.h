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

// What the data source is about to do when it calls its validation hook.
enum class Action { MoveFirst, MovePrevious, MoveNext, MoveLast, AddNew, Update, Delete, Bookmark, Close };

class DataSource {
public:
    // connect: "dBASE III;" or "FoxPro 2.5;" (both accepted, nothing else).
    DataSource(Database& db, std::string connect, std::string recordSource);

    const std::string& recordSource() const { return recordSource_; }
    void setRecordSource(std::string recordSource);  // takes effect on refresh()

    // Re-reads the record source; the first row becomes current, or eof().
    // Any pending copy buffer is dropped. Throws StoreError.
    void refresh();
    bool isOpen() const { return open_; }

    // Record set.
    bool eof() const;
    bool bof() const;
    void moveFirst();
    void moveNext();
    void movePrevious();
    void moveLast();
    std::size_t recordCount() const;          // rows of the record set (live ones)
    std::optional<std::size_t> position() const; // index of the current row in the set

    std::size_t fieldCount() const;
    std::string fieldName(std::size_t pos) const;
    int fieldIndex(std::string_view name) const;  // -1 when absent
    const FieldDef& fieldDef(std::size_t pos) const;

    // The current row's value (the copy buffer's while adding or editing).
    // Throws StoreError "No hay registro actual." when there is no current row.
    Value field(std::size_t pos) const;
    Value field(std::string_view name) const;
    // Sets a value in the copy buffer; only while adding or editing.
    void setField(std::size_t pos, Value v);
    void setField(std::string_view name, Value v);

    void addNew();      // copy buffer of a new blank row
    void edit();        // copy buffer of the current row
    // Writes the copy buffer (append or update). Throws and keeps the buffer
    // when a value cannot be written. runHook=false skips the validation hook.
    void update(bool runHook = true);
    void cancelUpdate();
    void deleteCurrent();  // marks the row deleted; the next move goes past it
    EditMode editMode() const { return mode_; }
    // Makes the row written last by update() current.
    void moveToLastModified();
    std::optional<std::size_t> lastModifiedRecord() const { return lastModified_; }

    // Record number in the table of the current row (for grids and tests).
    std::optional<std::size_t> currentRecord() const;
    // Rows of the set as record numbers (grids walk them).
    const std::vector<std::size_t>& records() const { return rows_; }
    Value valueAt(std::size_t row, std::size_t pos) const;  // row: index in the set

    // Runs before the data source acts; set `cancel` to stop the action.
    using ValidateHook = std::function<void(Action action, bool& cancel)>;
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

    Database& db_;
    std::string connect_;
    std::string recordSource_;
    std::string tableName_;
    bool open_ = false;
    std::vector<int> columns_;              // table field of each column
    std::vector<std::size_t> rows_;         // record numbers of the set
    std::ptrdiff_t cur_ = -1;               // index into rows_; -1 bof side, rows_.size() eof side
    EditMode mode_ = EditMode::None;
    Row buffer_;                            // in column order
    std::optional<std::size_t> lastModified_;
    ValidateHook hook_;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextListener_ = 1;
};

} // namespace store
