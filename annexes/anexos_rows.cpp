// Anexos: the six grids, the rules of their cells, and the checks that run
// before one of their rows is written.
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

// The column of a goods grid whose cell is chosen from a pick list, never typed.
constexpr int kSectorColumn = 2;

}  // namespace

// A sector grid, grdMercyProd(index): ValidaSector before a row is written.
class Anexos::SectorRows : public ui::GridRules {
public:
    SectorRows(Anexos& w, int index) : w_(w), index_(index) {}

    int filterKey(int column, int code) override {
        return sectorKey(column, w_.grdMercyProd[std::size_t(index_)]->columnText(0), code).key;
    }
    // The row takes the grid's programme type whether the check passed or
    // not; HabilitaAnexo1 follows either way.
    bool checkRow(ui::PendingRow& row) override {
        const RowCheck check = ValidaSector(row.text(0), row.text(1));
        ui::showMessages(&w_, check.messages);
        row.set("IDSECTOR", store::Value(index_ == 1 ? 1 : 2));
        if (w_.extension())
            w_.HabilitaAnexo1();
        return !check.cancel;
    }

private:
    Anexos& w_;
    const int index_;
};

// A goods grid, dbganexo(grid): ValidaMercancia before a row is written, the
// pick list for its SECTOR cell.
class Anexos::GoodsRows : public ui::GridRules {
public:
    GoodsRows(Anexos& w, int grid) : w_(w), grid_(grid) {}

    int filterKey(int column, int code) override { return goodsKey(column, code).key; }
    // The SECTOR cell never opens an editor; asked for by the operator, its
    // pick list drops down instead.
    bool allowEdit(int column, ui::EditCause cause) override {
        if (column != kSectorColumn)
            return true;
        if (cause == ui::EditCause::Operator)
            showPickList();
        return false;
    }
    void pressButton(int column) override {
        if (column == kSectorColumn)
            showPickList();
    }
    // A passing row takes its codes and the key of the sector current on its
    // tab (an empty key too, when no sector is current).
    bool checkRow(ui::PendingRow& row) override {
        const QString key = w_.sectorKeyFor(grid_);
        const RowCheck check = ValidaMercancia(grid_, w_.extension(), key, row.text(3));
        ui::showMessages(&w_, check.messages);
        if (check.cancel)
            return false;
        const GoodsCodes codes = goodsCodes(grid_, w_.Anexosf->currentIndex());
        row.set("TIPO_PROGR", store::Value(codes.tipoProgr));
        row.set("ANEXO", store::Value(codes.anexo));
        row.set("TIPOBIEN", store::Value(codes.tipoBien));
        row.set("IDSECTOR", store::Value(key.toStdString()));
        return true;
    }

private:
    void showPickList() { w_.MuestraLista(*w_.dbganexo(grid_), *w_.pickList(grid_), kSectorColumn); }
    Anexos& w_;
    const int grid_;
};

// The register of indirect producers, dbgProdAbas: ValidaRFCIndirecto.
class Anexos::ProducerRows : public ui::GridRules {
public:
    explicit ProducerRows(Anexos& w) : w_(w) {}

    int filterKey(int column, int code) override { return producerKey(column, code).key; }
    bool checkRow(ui::PendingRow& row) override {
        const RowCheck check = ValidaRFCIndirecto(row.text(1), row.text(2));
        ui::showMessages(&w_, check.messages);
        return !check.cancel;
    }

private:
    Anexos& w_;
};

void Anexos::setupGrids() {
    using Tab = ui::DataGrid::TabAction;
    store::DataSource* sectorSources[2] = {&dtssectoresind, &dtsSectores};
    for (int i = 0; i < 2; ++i) {
        ui::DataGrid* grid = grdMercyProd[std::size_t(i)];
        grid->setColumns(columnsOf(ui::anexosSectorColumns(), ui::anexosSectorColumnCount()));
        grid->setDataSource(sectorSources[i]);
        rules_.push_back(std::make_unique<SectorRows>(*this, i));
        grid->setRules(rules_.back().get());
        grid->setEnterAsTab(true);
        grid->setTabAction(Tab::NextCellThenControl);
        grid->setArrowsWrapRows(true);
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
        rules_.push_back(std::make_unique<GoodsRows>(*this, g));
        grid->setRules(rules_.back().get());
        grid->setEnterAsTab(true);
        grid->setTabAction(g == 2 ? Tab::NextControl : Tab::NextCellThenControl);
        grid->setButtonColumns({kSectorColumn});
        grid->setPasteRows(true);  // goods kept in a spreadsheet
        // Scrolled, the cell the list hangs from moves away.
        for (QScrollBar* bar : {grid->verticalScrollBar(), grid->horizontalScrollBar()})
            connect(bar, &QScrollBar::valueChanged, this, [this, g] { hideList(*pickList(g), false); });
    }

    dbgProdAbas->setColumns(columnsOf(ui::anexosProducerColumns(), ui::anexosProducerColumnCount()));
    dbgProdAbas->setDataSource(&dtsprovindir);
    rules_.push_back(std::make_unique<ProducerRows>(*this));
    dbgProdAbas->setRules(rules_.back().get());
    dbgProdAbas->setEnterAsTab(true);
    dbgProdAbas->setTabAction(Tab::NextControl);
    dbgProdAbas->setPasteRows(true);
}

}  // namespace annexes
