// The annexes window: the sectors and goods of the direct producer (tab
// "Anexo 1"), of the indirect producer ("Anexo 2") and the register of
// indirect producers ("Anexo 3"), each grid writing its rows to sector, mercbi
// or prodabas once its row check passes.
#pragma once

#include <QPointer>
#include <QString>
#include <array>
#include <deque>
#include <memory>
#include <vector>

#include "store/database.h"
#include "store/datasource.h"
#include "ui/formwindow.h"
#include "ui/mainwindow.h"

class QLabel;
class QListWidget;
class QTabWidget;

namespace ui {
class DataGrid;
class GridRules;
}  // namespace ui

namespace annexes {

class Anexos : public ui::FormWindow {
    Q_OBJECT
public:
    // Runs the opening sequence at once. `main` is the main window, of which
    // it reads the programme type, the maquila number and year, and whether
    // the procedure is an extension.
    Anexos(store::Database& db, const ui::MainWindow& main, QWidget* parent = nullptr);
    ~Anexos() override;

    // The controls, found once when the window is built.
    QTabWidget* const Anexosf;
    const std::array<ui::DataGrid*, 2> grdMercyProd;  // 1 direct producer, 0 indirect
    ui::DataGrid* const dbganexo1;
    ui::DataGrid* const dbganexo2;
    ui::DataGrid* const dbganexo3;
    ui::DataGrid* const dbgProdAbas;
    QListWidget* const List1;
    QListWidget* const List2;
    QListWidget* const List3;
    QListWidget* const List4;

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

    // The goods grids by number: 0 dbganexo1, 1 dbganexo2, 2 dbganexo3; and
    // the pick list that drops under each one's SECTOR cell.
    ui::DataGrid* dbganexo(int grid) const { return std::array{dbganexo1, dbganexo2, dbganexo3}[std::size_t(grid)]; }
    QListWidget* pickList(int grid) const { return std::array{List1, List2, List3}[std::size_t(grid)]; }

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
    void pick(QListWidget& list);
    void hideList(QListWidget& list, bool backToGrid);
    ui::DataGrid* gridOfList(const QListWidget* list) const;

    // The rules of the grids' cells and rows (anexos_rows.cpp).
    class SectorRows;
    class GoodsRows;
    class ProducerRows;
    std::vector<std::unique_ptr<ui::GridRules>> rules_;

    const ui::MainWindow& main_;
    bool loadFailed_ = false;
    QPointer<QWidget> lastFocus_;               // the last control of this window that had the focus
    std::deque<QPointer<QWidget>> focusMoves_;  // arrived while one was being handled
    bool handlingFocus_ = false;
    bool reloading_ = false;  // the grids re-read their rows: no operator move
};

}  // namespace annexes
