#include "ui/datagrid.h"

#include <QAbstractTableModel>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>
#include <QTimer>
#include <algorithm>
#include <map>

#include "store/text.h"
#include "ui/binding.h"
#include "ui/keys.h"
#include "ui/messagebox.h"

namespace ui {

// The rows of the data source plus the line that adds a new one, and the row
// buffer: the edited texts of one row, and the typed values the row check set
// in it, kept until the row is written.
class DataGridModel : public QAbstractTableModel {
public:
    explicit DataGridModel(DataGrid* grid) : QAbstractTableModel(grid), grid_(grid) {}

    void reload() {
        beginResetModel();
        buffer_.clear();
        typed_.clear();
        bufferedRow_ = -1;
        records_ = 0;
        if (grid_->source_ && grid_->source_->isOpen())
            records_ = int(grid_->source_->records().size());
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        if (parent.isValid() || !grid_->source_)
            return 0;
        return records_ + 1;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(grid_->columns_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
            return {};
        return shownText(index.row(), index.column());
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (!index.isValid() || role != Qt::EditRole || fieldPos(index.column()) < 0)
            return false;
        const QString text = storableOnly(value.toString());
        if (text == shownText(index.row(), index.column()))
            return true;  // an editor closed without a change leaves the row clean
        if (dirty() && bufferedRow_ != index.row() && !grid_->commitRow())
            return false;
        bufferedRow_ = index.row();
        buffer_[index.column()] = text;
        typed_.erase(store::upperAscii(grid_->columns_[std::size_t(index.column())].field.toStdString()));
        emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
        emit headerDataChanged(Qt::Vertical, index.row(), index.row());
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid())
            return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (fieldPos(index.column()) >= 0)
            f |= Qt::ItemIsEditable;
        return f;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Horizontal) {
            if (section < 0 || section >= int(grid_->columns_.size()))
                return {};
            return grid_->columns_[std::size_t(section)].caption;
        }
        // Row markers: the row being edited, and the line that adds a new row.
        if (section == bufferedRow_ && dirty())
            return QStringLiteral("\u270E");
        if (section == records_)
            return QStringLiteral("*");
        return QString();
    }

    // Rows are written when they are left, never on the view's own submit.
    bool submit() override { return true; }
    void revert() override {}

    int fieldPos(int column) const {
        if (!grid_->source_ || !grid_->source_->isOpen() || column < 0 || column >= int(grid_->columns_.size()))
            return -1;
        return grid_->source_->fieldIndex(grid_->columns_[std::size_t(column)].field.toStdString());
    }

    QString shownText(int row, int column) const {
        if (row == bufferedRow_) {
            auto it = buffer_.find(column);
            if (it != buffer_.end())
                return it->second;
        }
        const int pos = fieldPos(column);
        if (pos < 0 || row < 0 || row >= records_ || std::size_t(row) >= grid_->source_->records().size())
            return {};
        try {
            return displayText(grid_->source_->valueAt(std::size_t(row), std::size_t(pos)));
        } catch (const store::StoreError&) {
            // The row went away under the grid (deleted through another data
            // source, the table packed): it shows empty until the next re-read.
            return {};
        }
    }

    bool dirty() const { return bufferedRow_ >= 0 && !buffer_.empty(); }
    void dropBuffer() {
        const int row = bufferedRow_;
        buffer_.clear();
        typed_.clear();
        bufferedRow_ = -1;
        if (row >= 0) {
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
            emit headerDataChanged(Qt::Vertical, row, row);
        }
    }
    int bufferedRow() const { return dirty() ? bufferedRow_ : -1; }
    int records() const { return records_; }

    // A cell's text put into the row buffer without telling the view (a
    // paste, character by character); an empty text leaves the cell out.
    void putText(int row, int column, const QString& text) {
        if (dirty() && bufferedRow_ != row)
            return;
        bufferedRow_ = row;
        if (text.isEmpty())
            buffer_.erase(column);
        else
            buffer_[column] = text;
    }

    // A field of the buffered row set by the row check: written as it is.
    void setTyped(std::string_view field, store::Value value) { typed_[store::upperAscii(field)] = std::move(value); }

    // Writes the buffered row into the data source. On failure the buffer
    // stays and the StoreError is thrown on; a refusal of the data source's
    // own hook returns false.
    bool writeRow() {
        if (!dirty())
            return true;
        store::DataSource& src = *grid_->source_;
        const int row = bufferedRow_;
        const bool adding = row >= records_;
        try {
            if (adding) {
                src.addNew();
            } else {
                if (std::size_t(row) >= src.records().size())
                    throw store::NoCurrentRecord();  // the row went away under the grid
                const std::size_t record = src.records()[std::size_t(row)];
                if (src.currentRecord() != std::optional<std::size_t>(record))
                    src.moveTo(std::size_t(row));
                if (src.currentRecord() != std::optional<std::size_t>(record))
                    return false;  // the data source's own hook kept its row
                src.edit();
            }
            for (const auto& [column, text] : buffer_) {
                const int pos = fieldPos(column);
                if (pos >= 0 && !typed_.count(store::upperAscii(src.fieldName(std::size_t(pos)))))
                    src.setField(std::size_t(pos), fieldValue(src.fieldDef(std::size_t(pos)), text));
            }
            for (const auto& [field, value] : typed_)
                src.setField(field, value);
            src.update();
            if (src.editMode() != store::EditMode::None) {
                src.cancelUpdate();  // the data source's own hook refused
                return false;
            }
        } catch (const store::StoreError&) {
            // The data source keeps no half-filled copy buffer; the grid's
            // buffer stays for the operator to correct.
            src.cancelUpdate();
            throw;
        }
        const int now = int(src.records().size());
        if (adding && now == records_ + 1) {
            // The add line became a row (still showing the buffered texts
            // meanwhile); a new add line follows it.
            beginInsertRows({}, records_ + 1, records_ + 1);
            records_ = now;
            endInsertRows();
            buffer_.clear();
            typed_.clear();
            bufferedRow_ = -1;
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
            emit headerDataChanged(Qt::Vertical, row, records_);
        } else if (!adding && now == records_) {
            buffer_.clear();
            typed_.clear();
            bufferedRow_ = -1;
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
            emit headerDataChanged(Qt::Vertical, row, row);
        } else {
            reload();  // the record set changed shape under us
        }
        return true;
    }

private:
    DataGrid* grid_;
    int records_ = 0;
    int bufferedRow_ = -1;
    std::map<int, QString> buffer_;              // column -> text
    std::map<std::string, store::Value> typed_;  // field (upper case) -> value set by the row check
};

// Cell editors, with the rules' key filter on every typed character.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(DataGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
        auto* e = new QLineEdit(parent);
        e->setFrame(false);
        const int max = grid_->columnMaxLength(index.column());
        if (max > 0)
            e->setMaxLength(max);
        guardStorable(e);
        grid_->editor_ = e;
        return e;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const QRect r = grid_->buttonRect(index);
        if (r.isEmpty())
            return;
        QStyleOptionButton button;
        button.rect = r;
        button.state = QStyle::State_Enabled | QStyle::State_Raised;
        QStyle* style = grid_->style();
        style->drawControl(QStyle::CE_PushButtonBevel, &button, painter, grid_);
        QStyleOption arrow;
        arrow.rect = r.adjusted(3, 3, -3, -3);
        arrow.state = QStyle::State_Enabled;
        arrow.palette = option.palette;
        style->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, painter, grid_);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && grid_->pasteRows_
            && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)
            && DataGrid::isRowBlock(QGuiApplication::clipboard()->text())) {
            // Rows, not a cell's text: pasted once this editor's event is over.
            QTimer::singleShot(0, grid_, [grid = grid_] { grid->pasteFromClipboard(); });
            return true;
        }
        if (event->type() == QEvent::KeyPress && event != grid_->filteredKey_) {
            auto* key = static_cast<QKeyEvent*>(event);
            const int code = keyCode(key);
            if (code >= 0 && code != kTab) {  // Tab moves between cells, as ever
                const int result = grid_->filterKey(code);
                if (result == 0)
                    return true;
                if (result == kEnter && grid_->enterAsTab_) {
                    queueKey(grid_, Qt::Key_Tab);
                    return true;
                }
                if (result != code) {
                    auto fresh = rewrittenKey(key, result);
                    grid_->sendFiltered(watched, fresh.get());
                    return true;
                }
            }
        }
        if (event->type() == QEvent::InputMethod && event != grid_->filteredKey_) {
            // Composed characters get the cell's key rule one by one.
            auto* im = static_cast<QInputMethodEvent*>(event);
            if (!im->commitString().isEmpty()) {
                QString kept;
                for (QChar c : im->commitString()) {
                    const int code = grid_->filterKey(c.unicode());
                    if (code >= 32)
                        kept.append(QChar(static_cast<char16_t>(code)));
                }
                if (kept != im->commitString()) {
                    QInputMethodEvent fresh(im->preeditString(), im->attributes());
                    fresh.setCommitString(kept, im->replacementStart(), im->replacementLength());
                    grid_->sendFiltered(watched, &fresh);
                    return true;
                }
            }
        }
        if (event->type() == QEvent::FocusOut) {
            // A message box or popup taking the focus is not the operator
            // leaving the cell: the editor stays open with its text.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
                return false;
        }
        return QStyledItemDelegate::eventFilter(watched, event);
    }

private:
    DataGrid* grid_;
};

// Vetoes a change of the current row (mouse clicks, header clicks, code)
// while the row being left cannot be written.
class GridSelection : public QItemSelectionModel {
public:
    GridSelection(QAbstractItemModel* model, DataGrid* grid) : QItemSelectionModel(model, grid), grid_(grid) {}

    void setCurrentIndex(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) override {
        const QModelIndex cur = currentIndex();
        if (cur.isValid() && index.isValid() && index.row() != cur.row() && grid_->rowDirty()) {
            const QPersistentModelIndex target(index);
            if (!grid_->commitRow()) {
                grid_->reopenEditorLater();
                return;
            }
            QItemSelectionModel::setCurrentIndex(target, command);
            return;
        }
        QItemSelectionModel::setCurrentIndex(index, command);
    }

private:
    DataGrid* grid_;
};

DataGrid::DataGrid(QWidget* parent) : QTableView(parent) {
    model_ = new DataGridModel(this);
    setModel(model_);
    QItemSelectionModel* old = selectionModel();
    setSelectionModel(new GridSelection(model_, this));
    delete old;
    setItemDelegate(new GridDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    setTabKeyNavigation(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
}

void DataGrid::setCaption(const QString& caption) {
    caption_ = caption;
    setAccessibleName(caption);
}

void DataGrid::setColumns(std::vector<GridColumn> columns) {
    columns_ = std::move(columns);
    model_->reload();
    fitColumns();
}

void DataGrid::setDataSource(store::DataSource* source) {
    source_ = source;
    model_->reload();
    fitColumns();
}

// Columns as wide as their captions and first rows, within reason, so that
// a grid of many columns does not open scrolled.
void DataGrid::fitColumns() {
    fittedOpen_ = source_ && source_->isOpen();
    resizeColumnsToContents();
    const int most = std::max(60, viewport()->width() / 2);
    const int chars = fontMetrics().averageCharWidth();
    for (int c = 0; c < model_->columnCount(); ++c) {
        // Room for what the field holds, up to a dozen characters, even while empty.
        const int room = std::min(std::max(columnMaxLength(c), 1), 12) * chars + 12;
        setColumnWidth(c, std::min(std::max(columnWidth(c), room), most));
    }
}

void DataGrid::reload() {
    const int col = std::max(0, currentColumn());
    model_->reload();
    if (!fittedOpen_)
        fitColumns();  // the field widths are known once the data source is open
    if (model_->rowCount() > 0 && model_->columnCount() > 0)
        setCurrentIndex(model_->index(0, std::min(col, model_->columnCount() - 1)));
}

int DataGrid::columnMaxLength(int column) const {
    if (column < 0 || column >= int(columns_.size()))
        return 0;
    if (columns_[std::size_t(column)].maxLength > 0)
        return columns_[std::size_t(column)].maxLength;
    const int pos = model_->fieldPos(column);
    return pos < 0 ? 0 : source_->fieldDef(std::size_t(pos)).length;
}

int DataGrid::currentColumn() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() : -1;
}

int DataGrid::currentRow() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : -1;
}

QString DataGrid::columnText(int column) const {
    const int row = currentRow();
    if (row < 0)
        return {};
    if (auto* e = qobject_cast<QLineEdit*>(editor_.data()); e && state() == EditingState && currentColumn() == column)
        return e->text();
    return model_->shownText(row, column);
}

void DataGrid::setColumnText(int column, const QString& text) {
    const int row = currentRow();
    if (row < 0)
        return;
    if (auto* e = qobject_cast<QLineEdit*>(editor_.data()); e && state() == EditingState && currentColumn() == column)
        e->setText(text);
    model_->setData(model_->index(row, column), text, Qt::EditRole);
}

bool DataGrid::rowDirty() const {
    if (model_->dirty())
        return true;
    if (auto* e = qobject_cast<QLineEdit*>(editor_.data()); e && state() == EditingState)
        return e->text() != model_->shownText(currentRow(), currentColumn());
    return false;
}

void DataGrid::commitEditor() {
    if (editor_ && state() == EditingState)
        commitData(editor_);
}

bool DataGrid::commitRow() {
    if (!source_)
        return true;
    commitEditor();
    if (!model_->dirty())
        return true;
    QString error;
    switch (writeBufferedRow(error)) {
    case RowWrite::Written: return true;
    case RowWrite::Refused: return false;
    case RowWrite::Failed:
        // The operator reads the engine's message and the window is told.
        message(this, error);
        if (rules_)
            rules_->writeFailed(error);
        return false;
    }
    return false;
}

DataGrid::RowWrite DataGrid::writeBufferedRow(QString& error) {
    try {
        PendingRow row(*this);
        if (rules_ && !rules_->checkRow(row))
            return RowWrite::Refused;
        return model_->writeRow() ? RowWrite::Written : RowWrite::Refused;
    } catch (const store::StoreError& e) {
        // Handled here, for every caller: the row stays in editing. Nothing
        // may escape into the view's event handlers.
        error = QString::fromUtf8(e.what());
        return RowWrite::Failed;
    }
}

bool DataGrid::isRowBlock(const QString& text) {
    QString t = text;
    if (t.endsWith(u'\n'))
        t.chop(t.endsWith(QStringLiteral("\r\n")) ? 2 : 1);
    return t.contains(u'\t') || t.contains(u'\n') || t.contains(u'\r');
}

DataGrid::PastedRows DataGrid::pasteRows(const QString& text) {
    PastedRows result;
    if (!source_ || !source_->isOpen())
        return result;
    if (isEditing() && editor_) {
        commitEditor();
        closeEditor(editor_, QAbstractItemDelegate::NoHint);
    }
    if (!commitRow())
        return result;  // the row being edited stays, with the check's messages shown
    const int start = std::max(0, currentColumn());
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();  // the line end after the last row
    for (int i = 0; i < int(lines.size()); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);  // spreadsheets end lines with CR LF
        const QStringList cells = line.split(u'\t');
        const int row = model_->records();
        setCurrentIndex(model_->index(row, start));
        QString refusal;
        for (int k = 0; k < int(cells.size()) && refusal.isEmpty(); ++k) {
            const int column = start + k;
            if (column >= model_->columnCount()) {
                if (!cells[k].trimmed().isEmpty())
                    refusal = QStringLiteral("El renglón tiene más columnas que la tabla");
                continue;
            }
            // A column that is not typed into (a pick list's) takes nothing.
            if (model_->fieldPos(column) < 0 || (rules_ && !rules_->allowEdit(column, EditCause::CellMove)))
                continue;
            // Character by character, as typed: a key rule may read the cell so far.
            QString typed;
            for (const QChar c : storableOnly(cells[k])) {
                const int code = rules_ ? rules_->filterKey(column, c.unicode()) : c.unicode();
                if (code >= 32)
                    model_->putText(row, column, typed.append(QChar(char16_t(code))));
            }
            // Typing would stop at the cell's length; a longer text is not cut short unseen.
            const int most = columnMaxLength(column);
            if (most > 0 && typed.size() > most)
                refusal =
                    QStringLiteral("%1 pasa de %2 caracteres").arg(columns_[std::size_t(column)].caption).arg(most);
        }
        emit model_->dataChanged(model_->index(row, 0), model_->index(row, model_->columnCount() - 1));
        emit model_->headerDataChanged(Qt::Vertical, row, row);
        if (refusal.isEmpty() && !model_->dirty())
            continue;  // an empty line
        if (refusal.isEmpty()) {
            QString error;
            ui::CollectedMessages said;
            const RowWrite w = writeBufferedRow(error);
            if (w == RowWrite::Written) {
                ++result.added;
                continue;
            }
            refusal = w == RowWrite::Failed    ? error
                      : said.texts().isEmpty() ? QStringLiteral("No se pudo grabar el renglón")
                                               : said.texts().join(QStringLiteral("; "));
            result.stopped = w == RowWrite::Failed;
        }
        model_->dropBuffer();
        result.refused.push_back({i + 1, cells.join(QStringLiteral(" | ")), refusal});
        if (result.stopped)
            break;
    }
    setCurrentIndex(model_->index(model_->records(), start));
    return result;
}

void DataGrid::pasteFromClipboard() {
    const PastedRows r = pasteRows(QGuiApplication::clipboard()->text());
    if (r.refused.empty())
        return;
    // One box for the whole paste; a long list is cut so the box fits the screen.
    constexpr std::size_t kListed = 30;
    QString text =
        QStringLiteral("Renglones agregados: %1. Renglones no agregados: %2.\n").arg(r.added).arg(r.refused.size());
    for (std::size_t i = 0; i < std::min(kListed, r.refused.size()); ++i) {
        const RefusedRow& f = r.refused[i];
        text += QStringLiteral("\nRenglón %1 (%2): %3").arg(f.line).arg(f.value, f.message);
    }
    if (r.refused.size() > kListed)
        text += QStringLiteral("\n... y %1 renglones más.").arg(r.refused.size() - kListed);
    if (r.stopped)
        text += QStringLiteral("\n\nLos renglones que seguían no se intentaron.");
    message(this, text, QStringLiteral("Pegar renglones"));
}

void DataGrid::setField(std::string_view field, store::Value value) {
    const QString name = QString::fromUtf8(field.data(), qsizetype(field.size()));
    for (std::size_t c = 0; c < columns_.size(); ++c)
        if (columns_[c].field.compare(name, Qt::CaseInsensitive) == 0)
            setColumnText(int(c), displayText(value));
    model_->setTyped(field, std::move(value));
}

QString PendingRow::text(int column) const { return grid_.columnText(column); }

int PendingRow::currentColumn() const { return grid_.currentColumn(); }

void PendingRow::set(std::string_view field, store::Value value) { grid_.setField(field, std::move(value)); }

void DataGrid::sendFiltered(QObject* to, QEvent* event) {
    const QEvent* outer = std::exchange(filteredKey_, event);
    QCoreApplication::sendEvent(to, event);
    filteredKey_ = outer;
}

void DataGrid::reopenEditorLater() {
    QTimer::singleShot(0, this, [this] {
        // The view's own edit(), past ours: the row check has had its say, so
        // the rules are not asked again whether the cell may open.
        const QModelIndex i = currentIndex();
        if (state() != EditingState && i.isValid())
            QTableView::edit(i, AllEditTriggers, nullptr);
    });
}

int DataGrid::filterKey(int code) { return rules_ ? rules_->filterKey(currentColumn(), code) : code; }

// Where a cursor action goes, with the rows wrapping for Left and Right
// where the grid says so.
QModelIndex DataGrid::cursorTarget(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = currentIndex();
    if (arrowsWrap_ && current.isValid()) {
        const int last = model_->columnCount() - 1;
        if (action == MoveRight && current.column() == last && current.row() + 1 < model_->rowCount())
            return model_->index(current.row() + 1, 0);
        if (action == MoveLeft && current.column() == 0 && current.row() > 0)
            return model_->index(current.row() - 1, last);
    }
    return QTableView::moveCursor(action, modifiers);
}

bool DataGrid::tabLeaves(CursorAction action) const {
    if (action != MoveNext && action != MovePrevious)
        return false;
    switch (tabAction_) {
    case TabAction::NextControl: return true;
    case TabAction::NextCellThenControl: {
        const int column = currentColumn();
        return action == MoveNext ? column >= model_->columnCount() - 1 : column <= 0;
    }
    case TabAction::NextCell: break;
    }
    return false;
}

QModelIndex DataGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (tabLeaves(action)) {
        // From a key, the view passes the Tab on to the window when it gets no
        // cell; after a cell editor closes on Tab, nobody does: move on here.
        if (closingEditor_) {
            const bool forward = action == MoveNext;
            QTimer::singleShot(0, this, [this, forward] { QWidget::focusNextPrevChild(forward); });
        }
        return {};
    }
    const QModelIndex current = currentIndex();
    const QModelIndex next = cursorTarget(action, modifiers);
    // Down from the add line leaves it too: the new row is written and a new
    // add line comes below it.
    const bool downFromAddLine =
        current.isValid() && current.row() == model_->records() && (action == MoveDown || action == MovePageDown);
    if (!current.isValid() || !next.isValid() || (next.row() == current.row() && !downFromAddLine) || !rowDirty())
        return next;
    if (!commitRow())
        return current;  // refused: the row stays, and so does its editor
    // Writing the add line added a row; move from where we are now.
    return cursorTarget(action, modifiers);
}

void DataGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    closingEditor_ = true;
    QTableView::closeEditor(editor, hint);
    closingEditor_ = false;
}

bool DataGrid::focusNextPrevChild(bool next) {
    // Tab out of the grid from an open cell editor: the cell's text goes into
    // the row buffer and the focus moves on from the grid itself.
    if (state() == EditingState && editor_ && tabLeaves(next ? MoveNext : MovePrevious)) {
        commitEditor();
        closeEditor(editor_, QAbstractItemDelegate::NoHint);
        return QWidget::focusNextPrevChild(next);
    }
    return QTableView::focusNextPrevChild(next);
}

void DataGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (!buttonColumns_.empty())
        viewport()->update();  // the button follows the current row
}

void DataGrid::setButtonColumns(std::vector<int> columns) {
    buttonColumns_ = std::move(columns);
    viewport()->update();
}

bool DataGrid::isButtonColumn(int column) const {
    return std::find(buttonColumns_.begin(), buttonColumns_.end(), column) != buttonColumns_.end();
}

QRect DataGrid::buttonRect(const QModelIndex& index) const {
    if (!index.isValid() || !isButtonColumn(index.column()) || index.row() != currentRow())
        return {};
    const QRect cell = visualRect(index);
    const int w = std::min(cell.height(), cell.width() / 2);
    return QRect(cell.right() - w + 1, cell.top(), w, cell.height());
}

void DataGrid::pressButton(int column) {
    if (rules_)
        rules_->pressButton(column);
}

bool DataGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // No editing elsewhere while a row waits to be written.
    if (index.isValid() && model_->dirty() && index.row() != model_->bufferedRow())
        return false;
    // The cell's button takes its own clicks.
    if (index.isValid() && event
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease
            || event->type() == QEvent::MouseButtonDblClick)) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (buttonRect(index).contains(at)) {
            if (event->type() == QEvent::MouseButtonRelease)
                pressButton(index.column());
            return true;
        }
    }
    const bool opens = trigger == AllEditTriggers || (editTriggers() & trigger);
    if (index.isValid() && opens && rules_ && state() != EditingState
        && !rules_->allowEdit(index.column(), closingEditor_ ? EditCause::CellMove : EditCause::Operator))
        return false;
    return QTableView::edit(index, trigger, event);
}

void DataGrid::keyPressEvent(QKeyEvent* e) {
    if (pasteRows_ && e->matches(QKeySequence::Paste) && isRowBlock(QGuiApplication::clipboard()->text())) {
        pasteFromClipboard();
        e->accept();
        return;
    }
    // Ctrl+Tab belongs to the window (it turns tab pages), not to the cells:
    // a keyboard user must never be trapped in a grid.
    if ((e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) && (e->modifiers() & Qt::ControlModifier)) {
        e->ignore();
        return;
    }
    if (state() != EditingState && isButtonColumn(currentColumn())
        && (e->key() == Qt::Key_F4 || (e->key() == Qt::Key_Down && (e->modifiers() & Qt::AltModifier)))) {
        pressButton(currentColumn());
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Escape && state() != EditingState && model_->dirty()) {
        // Escape in a cell undoes the cell; outside the editor, the row.
        int code = keyCode(e);
        if (code < 0 || filterKey(code) != 0) {
            model_->dropBuffer();
            e->accept();
            return;
        }
    }
    const int code = state() == EditingState ? -1 : keyCode(e);
    if (code < 0 || code == kTab) {
        QTableView::keyPressEvent(e);
        return;
    }
    // A key typed on a cell not yet in editing: the rules see it, and the
    // character they give starts the editor.
    const int result = filterKey(code);
    if (result == 0) {
        e->accept();
        return;
    }
    if (result == kEnter && enterAsTab_) {
        queueKey(this, Qt::Key_Tab);
        e->accept();
        return;
    }
    // The view opens the editor and hands it the key, which the editor's filter
    // then lets pass.
    std::unique_ptr<QKeyEvent> fresh = result != code ? rewrittenKey(e, result) : nullptr;
    QKeyEvent* forwarded = fresh ? fresh.get() : e;
    const QEvent* outer = std::exchange(filteredKey_, forwarded);
    QTableView::keyPressEvent(forwarded);
    filteredKey_ = outer;
    e->setAccepted(forwarded->isAccepted());
}

}  // namespace ui
