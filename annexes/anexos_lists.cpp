// Anexos: the Roman-numeral pick lists that drop under the SECTOR cell of a
// goods grid, the legend picture, and the window's own event filter.
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>

#include "annexes/anexos.h"
#include "ui/datagrid.h"

namespace annexes {

void Anexos::setupPickLists() {
    for (QListWidget* list : {List1, List2, List3, List4}) {
        list->installEventFilter(this);
        if (list == List4)
            continue;  // never dropped down
        connect(list, &QListWidget::itemDoubleClicked, this, [this, list] { pick(*list); });
    }
}

ui::DataGrid* Anexos::gridOfList(const QListWidget* list) const {
    for (int g = 0; g < 3; ++g)
        if (list == pickList(g))
            return dbganexo(g);
    return nullptr;
}

void Anexos::MuestraLista(ui::DataGrid& grid, QListWidget& list, int column) {
    const int row = grid.currentRow();
    QWidget* host = list.parentWidget();
    if (row < 0 || !host)
        return;
    // Just below the current cell, as wide as its column and 15 twips more.
    QPoint at = grid.viewport()->mapTo(
        host, QPoint(grid.columnViewportPosition(column), grid.rowViewportPosition(row) + grid.rowHeight(row)));
    const int width = grid.columnWidth(column) + twipsToPixelsX(15);
    // A list that would run off the tab page opens above the cell instead, so
    // that every numeral can be seen.
    if (at.y() + list.height() > host->height())
        at.setY(std::max(0, at.y() - grid.rowHeight(row) - list.height()));
    list.setGeometry(at.x(), at.y(), width, list.height());
    if (list.count() > 0)
        list.setCurrentRow(0);
    list.show();
    list.raise();
    list.setFocus(Qt::OtherFocusReason);
}

// Enter or a double click: the numeral goes into the SECTOR cell of the
// current row.
void Anexos::pick(QListWidget& list) {
    ui::DataGrid* grid = gridOfList(&list);
    if (!grid)
        return;
    if (QListWidgetItem* item = list.currentItem())
        grid->setColumnText(2, item->text());
    hideList(list, true);
}

// The grid gets the focus back before the list goes, so that the focus does
// not wander to whatever control follows the list.
void Anexos::hideList(QListWidget& list, bool backToGrid) {
    if (!list.isVisible())
        return;
    if (backToGrid && list.hasFocus())
        if (ui::DataGrid* grid = gridOfList(&list))
            grid->setFocus(Qt::OtherFocusReason);
    list.hide();
}

// The legend's picture: the grids' two row markers, each beside the line that
// explains it.
void Anexos::setupLegend() {
    paintRowMarkers(require<QLabel>("Picture1"), require<QLabel>("Label2", 0), require<QLabel>("Label3"));
}

void Anexos::closeEvent(QCloseEvent* e) {
    if (!writePendingRows()) {
        e->ignore();  // not closed: the refused row waits for its correction
        return;
    }
    ui::FormWindow::closeEvent(e);
}

bool Anexos::eventFilter(QObject* watched, QEvent* event) {
    auto* list = qobject_cast<QListWidget*>(watched);
    if (!list)
        return ui::FormWindow::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && list != List4) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            pick(*list);
            return true;
        }
        if (key == Qt::Key_Escape) {
            hideList(*list, true);
            return true;
        }
    }
    if (event->type() == QEvent::FocusOut) {
        // A message box or popup taking the focus is not the operator leaving.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            list->hide();
    }
    return false;
}

}  // namespace annexes
