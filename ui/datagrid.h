// A grid bound to a data source, with the row buffer of the old data grids:
// what the operator types stays in the row until the row is left (Up/Down, a
// click on another row, Tab past the last cell), and then the window's row
// check may refuse the write, keeping the row in editing with what was typed.
// The last line adds a new row.
//
// How a typed key reaches a .dbf row: the window's key pipeline (ui/keys.h)
// -> GridRules::filterKey -> the cell editor -> the row buffer (texts by
// column) -> the row is left -> GridRules::checkRow, which may set fields
// with typed values -> DataSource::setField and update -> DbfTable.
#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QTableView>
#include <string_view>
#include <vector>

#include "store/datasource.h"

namespace ui {

struct GridColumn {
    QString caption;
    QString field;
    int maxLength = 0;  // 0: the field's width
};

class DataGrid;

// The row a grid is about to write, as the window's row check sees it: what
// the operator sees of it, and the fields the check sets before it goes to
// the data source.
class PendingRow {
public:
    // A column's text as the operator sees it (an unfinished edit included).
    QString text(int column) const;
    // The column the row is being left from.
    int currentColumn() const;
    // Sets a field of the row, by name, to a value of its own type: the value
    // is written as it is, and the column showing the field (if any) shows it.
    void set(std::string_view field, store::Value value);

private:
    friend class DataGrid;
    explicit PendingRow(DataGrid& grid) : grid_(grid) {}
    DataGrid& grid_;
};

// Why a cell editor is about to open.
enum class EditCause {
    Operator,  // a key, a click, F2: the operator asked for it
    CellMove,  // the grid moved to the cell (after Tab) and opens it as it goes
};

// What a window tells one of its grids: the rules of its cells and rows. Every
// rule has a default that changes nothing. The grid calls them from inside
// its event handlers, where nothing may be thrown, so none of them throws;
// checkRow alone may throw store::StoreError, which keeps the row as a
// refused write does.
class GridRules {
public:
    virtual ~GridRules() = default;
    // A character typed into a cell of `column` (after the window's own key
    // rules): the character to let through, or 0 to swallow the key.
    virtual int filterKey(int column, int code) { return (void)column, code; }
    // Whether the cell editor of `column` may open.
    virtual bool allowEdit(int column, EditCause cause) { return (void)column, (void)cause, true; }
    // The drop-down button of a cell was pressed (a click, F4, Alt+Down).
    virtual void pressButton(int column) { (void)column; }
    // Before the row is written: shows the check's messages and may set
    // fields. False keeps the row in editing with what was typed.
    virtual bool checkRow(PendingRow& row) { return (void)row, true; }
    // The data source refused the row (a value its field cannot take, a table
    // that cannot be written); the row stays in editing. The grid has shown
    // the engine's message already.
    virtual void writeFailed(const QString& error) { (void)error; }
};

class DataGridModel;

class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);
    using QTableView::edit;

    void setCaption(const QString& caption);
    QString caption() const { return caption_; }
    void setColumns(std::vector<GridColumn> columns);
    void setDataSource(store::DataSource* source);  // re-reads the rows
    store::DataSource* dataSource() const { return source_; }
    void reload();  // re-reads the data source's rows (after a refresh)

    // The window's rules for this grid's cells and rows (not owned; nullptr:
    // no rules). Set before the grid is used and kept while it lives.
    void setRules(GridRules* rules) { rules_ = rules; }
    // Enter in a cell becomes a Tab (queued).
    void setEnterAsTab(bool on) { enterAsTab_ = on; }

    // Where Tab (and Shift+Tab) goes: to the next cell, wrapping to the next
    // row (the default); to the next cell and, from the last cell of a row,
    // out of the grid; or straight to the next control. A row left by Tab out
    // of the grid stays buffered until a row is left.
    enum class TabAction { NextCell, NextCellThenControl, NextControl };
    void setTabAction(TabAction a) { tabAction_ = a; }
    // Left and Right carry the cell pointer from the last cell of a row to the
    // first cell of the next row and back.
    void setArrowsWrapRows(bool on) { arrowsWrap_ = on; }
    // Columns whose current cell shows a drop-down button; the rules' pressButton runs for it.
    void setButtonColumns(std::vector<int> columns);
    bool isButtonColumn(int column) const;
    // Where the button of a cell is drawn (viewport coordinates); empty when none.
    QRect buttonRect(const QModelIndex& index) const;

    // The text of a column of the current row as the operator sees it (the
    // buffered edit included), and setting it as if typed (a pick list does).
    QString columnText(int column) const;
    void setColumnText(int column, const QString& text);
    int currentColumn() const;
    int currentRow() const;
    bool rowDirty() const;
    bool isEditing() const { return state() == EditingState; }  // a cell editor is open
    // Writes the buffered row now (as leaving it would). Returns false when
    // the row check refused it or the write failed.
    bool commitRow();

    // Rows copied from a spreadsheet: tab-separated cells, one row a line,
    // the first cell going to the current column. Ctrl+V of such text adds
    // them as new rows (pasteFromClipboard) where the window turns it on.
    void setPasteRows(bool on) { pasteRows_ = on; }
    struct RefusedRow {
        int line;         // in the pasted text, from 1
        QString value;    // the row as pasted, its cells joined by " | "
        QString message;  // what the row check said (or why it was not written)
    };
    struct PastedRows {
        int added = 0;
        std::vector<RefusedRow> refused;
        bool stopped = false;  // a write failed: the rows after it were not tried
    };
    // Adds each row of the text as typing it would: every character through
    // the rules' key filter and the rule for text that reaches a cell, then
    // the rules' row check and the write. A refused row stays out of the
    // table; the check's messages are collected for it, not shown. The row
    // being edited is written first; when it cannot be, nothing is pasted.
    PastedRows pasteRows(const QString& text);
    // pasteRows of the clipboard's text, then one message box listing the
    // refused rows (none when every row went in).
    void pasteFromClipboard();
    // Text of more than one cell: a tab or a line break before its last line end.
    static bool isRowBlock(const QString& text);

    DataGridModel* gridModel() const { return model_; }
    // The editor's length limit of a column (its maxLength, else the field's width).
    int columnMaxLength(int column) const;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool focusNextPrevChild(bool next) override;

private:
    friend class DataGridModel;
    friend class GridDelegate;
    friend class GridSelection;
    friend class PendingRow;
    int filterKey(int code);                        // the rules' key filter for the current column
    void sendFiltered(QObject* to, QEvent* event);  // delivers a key the rules have seen
    void commitEditor();                            // the open editor's text into the row buffer
    void setField(std::string_view field, store::Value value);
    void reopenEditorLater();
    void fitColumns();
    enum class RowWrite { Written, Refused, Failed };
    // The row check, then the write of the buffered row; the data source's
    // error goes to `error` on a failed write.
    RowWrite writeBufferedRow(QString& error);
    QModelIndex cursorTarget(CursorAction action, Qt::KeyboardModifiers modifiers);
    bool tabLeaves(CursorAction action) const;
    void pressButton(int column);
    QPointer<QWidget> editor_;  // the open cell editor
    // A key event the rules have seen, on its way to a cell editor (opened
    // for it, or given the rewritten key): the editor's filter lets it pass.
    const QEvent* filteredKey_ = nullptr;
    QString caption_;
    std::vector<GridColumn> columns_;
    store::DataSource* source_ = nullptr;
    DataGridModel* model_ = nullptr;
    GridRules* rules_ = nullptr;
    bool enterAsTab_ = false;
    TabAction tabAction_ = TabAction::NextCell;
    bool arrowsWrap_ = false;
    std::vector<int> buttonColumns_;
    // The view is closing an editor after Tab or Enter and moving on: a cell
    // it opens meanwhile is a CellMove, and a Tab out of the grid is ours to do.
    bool closingEditor_ = false;
    bool fittedOpen_ = false;  // columns fitted with the data source open
    bool pasteRows_ = false;
};

}  // namespace ui
