// A grid bound to a data source, with the row buffer of the old data grids:
// what the operator types stays in the row until the row is left (Up/Down, a
// click on another row, Tab past the last cell), and then a hook may refuse
// the write, keeping the row in editing with what was typed. The last line
// adds a new row.
#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QTableView>
#include <functional>
#include <vector>

#include "store/datasource.h"

namespace ui {

struct GridColumn {
    QString caption;
    QString field;
    int maxLength = 0;  // 0: the field's width
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

    // Per-cell key hook: (column, code) -> code; 0 swallows the key.
    using KeyHook = std::function<int(int column, int code)>;
    void setKeyHook(KeyHook h) { keyHook_ = std::move(h); }
    // Before a row is written; set cancel to keep the row in editing.
    using BeforeWriteHook = std::function<void(bool& cancel)>;
    void setBeforeWriteHook(BeforeWriteHook h) { beforeWrite_ = std::move(h); }
    // Told when writing a row failed; the grid shows no message of its own.
    using ErrorHook = std::function<void(const QString& error)>;
    void setErrorHook(ErrorHook h) { errorHook_ = std::move(h); }
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
    // Before a cell editor opens; set cancel to keep it closed. operatorAsked
    // is false when the grid itself opens the editor of the cell it moved to
    // (after Tab): the hook then only says whether the cell is edited.
    using BeforeEditHook = std::function<void(int column, bool operatorAsked, bool& cancel)>;
    void setBeforeEditHook(BeforeEditHook h) { beforeEdit_ = std::move(h); }
    // Columns whose current cell shows a drop-down button. A click on it, or
    // Alt+Down or F4 on the cell, runs the hook with the column.
    using ButtonHook = std::function<void(int column)>;
    void setButtonColumns(std::vector<int> columns);
    void setButtonHook(ButtonHook h) { buttonHook_ = std::move(h); }
    bool isButtonColumn(int column) const;
    // Where the button of a cell is drawn (viewport coordinates); empty when none.
    QRect buttonRect(const QModelIndex& index) const;

    // The text of a column of the current row as the operator sees it (the
    // buffered edit included), and setting it (as a hook may do).
    QString columnText(int column) const;
    void setColumnText(int column, const QString& text);
    int currentColumn() const;
    int currentRow() const;
    bool rowDirty() const;
    bool isEditing() const { return state() == EditingState; }  // a cell editor is open
    // Writes the buffered row now (as leaving it would). Returns false when
    // the hook refused it or the write failed.
    bool commitRow();

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
    int hookKey(int code);        // the key hook, never throwing
    void commitEditor();          // the open editor's text into the row buffer
    void reopenEditorLater();
    void fitColumns();
    QModelIndex cursorTarget(CursorAction action, Qt::KeyboardModifiers modifiers);
    bool tabLeaves(CursorAction action) const;
    void pressButton(int column);
    QPointer<QWidget> editor_;    // the open cell editor
    bool forwarding_ = false;     // a key already hooked is on its way to a new editor
    QString caption_;
    std::vector<GridColumn> columns_;
    store::DataSource* source_ = nullptr;
    DataGridModel* model_ = nullptr;
    KeyHook keyHook_;
    BeforeWriteHook beforeWrite_;
    ErrorHook errorHook_;
    bool enterAsTab_ = false;
    TabAction tabAction_ = TabAction::NextCell;
    bool arrowsWrap_ = false;
    BeforeEditHook beforeEdit_;
    ButtonHook buttonHook_;
    std::vector<int> buttonColumns_;
    bool closingEditor_ = false;  // the view moves its editor on after Tab or Enter
    bool reopening_ = false;      // a refused row's editor comes back
    bool fittedOpen_ = false;     // columns fitted with the data source open
};

} // namespace ui
