// Layout of the annexes window Anexos: the tab control with its three tabs,
// the sector, goods and producer grids with their columns, the Roman-numeral
// pick lists and the legends.
#pragma once

#include "ui/layout.h"
#include "ui/layouts/form1.h"  // GridColumnSpec

namespace ui {

const WindowLayout& anexosLayout();

// Columns of the sector grids grdMercyProd(0) and grdMercyProd(1).
const GridColumnSpec* anexosSectorColumns();
int anexosSectorColumnCount();
// Columns of the goods grids dbganexo1, dbganexo2 and dbganexo3.
const GridColumnSpec* anexosGoodsColumns();
int anexosGoodsColumnCount();
// Columns of the register of indirect producers dbgProdAbas.
const GridColumnSpec* anexosProducerColumns();
int anexosProducerColumnCount();

}  // namespace ui
