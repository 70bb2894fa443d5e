// Anexos: the six grids, their key filters and the checks that run before
// one of their rows is written.
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTabWidget>

#include "annexes/anexos.h"
#include "annexes/checks.h"
#include "ui/datagrid.h"
#include "ui/layouts/anexos.h"
#include "ui/messagebox.h"

namespace annexes {

namespace {

std::vector<ui::GridColumn> columnsOf(const ui::GridColumnSpec* specs, int count) {
    std::vector<ui::GridColumn> columns;
    for (int i = 0; i < count; ++i)
        columns.push_back({QString::fromUtf8(specs[i].caption), QString::fromUtf8(specs[i].field), specs[i].maxLength});
    return columns;
}

} // namespace

void Anexos::setupGrids() {
    using Tab = ui::DataGrid::TabAction;
    // Every grid's own data-error message stays silent.
    const auto silent = [](const QString&) {};

    store::DataSource* sectorSources[2] = {&dtssectoresind, &dtsSectores};
    for (int i = 0; i < 2; ++i) {
        ui::DataGrid* grid = grdMercyProd[std::size_t(i)];
        grid->setColumns(columnsOf(ui::anexosSectorColumns(), ui::anexosSectorColumnCount()));
        grid->setDataSource(sectorSources[i]);
        grid->setKeyHook([grid](int column, int code) { return sectorKey(column, grid->columnText(0), code).key; });
        grid->setEnterAsTab(true);
        grid->setTabAction(Tab::NextCellThenControl);
        grid->setArrowsWrapRows(true);
        grid->setBeforeWriteHook([this, i](bool& cancel) { sectorRowBeforeWrite(i, cancel); });
        grid->setErrorHook(silent);
        // The sector of the goods may change with the current row. Re-reading
        // the rows (the opening among them) moves it too, but that is no
        // choice of the operator's: dbganexo1 opens enabled.
        connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
            if (!reloading_ && extension())
                HabilitaAnexo1();
        });
    }

    for (int g = 0; g < 3; ++g) {
        ui::DataGrid* grid = dbganexo(g);
        grid->setColumns(columnsOf(ui::anexosGoodsColumns(), ui::anexosGoodsColumnCount()));
        grid->setDataSource(&dtsanexo1[g]);
        grid->setKeyHook([](int column, int code) { return goodsKey(column, code).key; });
        grid->setEnterAsTab(true);
        grid->setTabAction(g == 2 ? Tab::NextControl : Tab::NextCellThenControl);
        grid->setBeforeWriteHook([this, g](bool& cancel) { goodsRowBeforeWrite(g, cancel); });
        grid->setErrorHook(silent);
        // The SECTOR cell is chosen from its pick list, never typed.
        grid->setButtonColumns({2});
        grid->setButtonHook([this, grid, g](int column) {
            if (column == 2)
                MuestraLista(*grid, *pickList(g), 2);
        });
        grid->setBeforeEditHook([this, grid, g](int column, bool operatorAsked, bool& cancel) {
            if (column != 2)
                return;
            cancel = true;
            if (operatorAsked)
                MuestraLista(*grid, *pickList(g), 2);
        });
        // Scrolled, the cell the list hangs from moves away.
        for (QScrollBar* bar : {grid->verticalScrollBar(), grid->horizontalScrollBar()})
            connect(bar, &QScrollBar::valueChanged, this, [this, g] { hideList(*pickList(g), false); });
    }

    ui::DataGrid* producers = dbgProdAbas;
    producers->setColumns(columnsOf(ui::anexosProducerColumns(), ui::anexosProducerColumnCount()));
    producers->setDataSource(&dtsprovindir);
    producers->setKeyHook([](int column, int code) { return producerKey(column, code).key; });
    producers->setEnterAsTab(true);
    producers->setTabAction(Tab::NextControl);
    producers->setBeforeWriteHook([this](bool& cancel) { producerRowBeforeWrite(cancel); });
    producers->setErrorHook(silent);
}

// ValidaSector; column 2 takes the grid's programme type whether the check
// passed or not.
void Anexos::sectorRowBeforeWrite(int index, bool& cancel) {
    ui::DataGrid* grid = grdMercyProd[std::size_t(index)];
    const RowCheck check = ValidaSector(grid->columnText(0), grid->columnText(1));
    ui::showMessages(this, check.messages);
    cancel = check.cancel;
    grid->setColumnText(2, index == 1 ? QStringLiteral("1") : QStringLiteral("2"));
    if (extension())
        HabilitaAnexo1();
}

// ValidaMercancia; a passing row takes its codes and the key of the sector
// current on its tab (an empty key too, when no sector is current).
void Anexos::goodsRowBeforeWrite(int g, bool& cancel) {
    ui::DataGrid* grid = dbganexo(g);
    const QString key = sectorKeyFor(g);
    const RowCheck check = ValidaMercancia(g, extension(), key, grid->columnText(3));
    ui::showMessages(this, check.messages);
    if (check.cancel) {
        cancel = true;
        return;
    }
    const GoodsCodes codes = goodsCodes(g, Anexosf->currentIndex());
    grid->setColumnText(0, QString::number(codes.tipoProgr));
    grid->setColumnText(1, QString::number(codes.anexo));
    grid->setColumnText(5, QString::number(codes.tipoBien));
    grid->setColumnText(2, key);
}

void Anexos::producerRowBeforeWrite(bool& cancel) {
    ui::DataGrid* grid = dbgProdAbas;
    const RowCheck check = ValidaRFCIndirecto(grid->columnText(1), grid->columnText(2));
    ui::showMessages(this, check.messages);
    cancel = check.cancel;
}

} // namespace annexes
