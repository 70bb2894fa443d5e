// The annexes window: the sectors and goods of the direct producer (tab
// "Anexo 1"), of the indirect producer ("Anexo 2") and the register of
// indirect producers ("Anexo 3"), each grid writing its rows to sector, mercbi
// or prodabas once its row check passes.
#pragma once

#include <QPointer>
#include <QString>
#include <deque>

#include "store/database.h"
#include "store/datasource.h"
#include "ui/formwindow.h"

class QListWidget;
class QTabWidget;

namespace ui {
class DataGrid;
}

namespace annexes {

class Anexos : public ui::FormWindow {
    Q_OBJECT
public:
    // Runs the opening sequence at once. `main` is the main window, read by
    // control name only: "TipoProg", "txtnummaquila", "txtañomaquila" and
    // "Combo1" (list index 1: an extension).
    Anexos(store::Database& db, ui::FormWindow& main, QWidget* parent = nullptr);
    ~Anexos() override;

    store::DataSource dtsSectores, dtssectoresind, dtsprovindir;
    store::DataSource dtsanexo1[3];

    // The opening sequence stopped at an error of the data engine (its
    // message was shown).
    bool loadFailed() const { return loadFailed_; }

    // Drops `list` under the cell of `column` in the grid's current row.
    void MuestraLista(ui::DataGrid& grid, QListWidget& list, int column);
    // For an extension: dbganexo1 takes goods only under sector "X".
    void HabilitaAnexo1();
    // Combo1 of the main window shows "Ampliación" (read afresh each time).
    bool extension() const;

    QTabWidget* Anexosf() const;
    ui::DataGrid* grdMercyProd(int index) const;  // 1 direct producer, 0 indirect
    ui::DataGrid* dbganexo(int grid) const;       // 0 dbganexo1, 1 dbganexo2, 2 dbganexo3
    ui::DataGrid* dbgProdAbas() const;
    QListWidget* List(int number) const;          // List1 .. List4

    // The grids show their data sources' rows again (after another window
    // changed a record source and refreshed it).
    void reloadGrids();

    // Writes the row each grid holds unwritten, through its check, showing the
    // grid's tab first. False when a check kept a row.
    bool writePendingRows();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void setupGrids();
    void setupPickLists();
    void setupLegend();
    void captionBars();
    void load();
    void openingSequence();
    void setGridHeight(ui::DataGrid& grid, int twips);
    void focusChanged(QWidget* old, QWidget* now);
    void focusMoved(QWidget* now);
    ui::DataGrid* gridOf(QWidget* w) const;
    QString sectorKeyFor(int goodsGrid) const;
    int goodsIndex(const ui::DataGrid* grid) const;
    void sectorRowBeforeWrite(int index, bool& cancel);
    void goodsRowBeforeWrite(int grid, bool& cancel);
    void producerRowBeforeWrite(bool& cancel);
    void pick(QListWidget& list);
    void hideList(QListWidget& list, bool backToGrid);
    ui::DataGrid* gridOfList(const QListWidget* list) const;

    ui::FormWindow& main_;
    bool loadFailed_ = false;
    QPointer<QWidget> lastFocus_;  // the last control of this window that had the focus
    std::deque<QPointer<QWidget>> focusMoves_;  // arrived while one was being handled
    bool handlingFocus_ = false;
    bool reloading_ = false;  // the grids re-read their rows: no operator move
};

} // namespace annexes
