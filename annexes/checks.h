// The annexes' key filters and row checks as plain functions of their inputs.
// The window runs them, shows the messages through the message-box service
// and cancels the grid's write when `cancel` is set; they show nothing. The
// row checks are the entry rules of rules/checks.h, on the grids' texts.
#pragma once

#include <QString>
#include <vector>

#include "rules/checks.h"
#include "ui/messagebox.h"

namespace annexes {

using ui::Message;

using rules::NumerosRomanos;

// The sector grids' key filter. `column` is the current column, `cell` the
// text the operator sees in the key cell. Returns the key to let through
// (possibly changed in case), 0 to swallow it; sendsTab is set when the
// result is Enter (ui::kEnter), which the window turns into a Tab keystroke.
struct KeyResult {
    int key = 0;
    bool sendsTab = false;
};
KeyResult sectorKey(int column, const QString& cell, int key);

// The goods grids' key filter (dbganexo1, dbganexo2, dbganexo3).
KeyResult goodsKey(int column, int key);

// The register of indirect producers' key filter (dbgProdAbas).
KeyResult producerKey(int column, int key);

// A check's outcome: its messages in order, and whether the write is cancelled.
struct RowCheck {
    std::vector<Message> messages;
    bool cancel = false;
};

// ValidaSector over the key (column 0) and the description (column 1).
// The caller then sets column 2 and runs HabilitaAnexo1 whatever the result.
RowCheck ValidaSector(const QString& key, const QString& description);

// ValidaMercancia. `grid` is 0 for dbganexo1, 1 for dbganexo2, 2 for
// dbganexo3; `sectorKey` is column 0 of the current row of the tab's sector
// grid (grdMercyProd(1) for grids 0 and 1, grdMercyProd(0) for grid 2);
// `fraction` is column 3 as it stands.
RowCheck ValidaMercancia(int grid, bool extension, const QString& sectorKey, const QString& fraction);

// The values a goods row takes after a passing ValidaMercancia.
using rules::GoodsCodes;
using rules::goodsCodes;

// The no-sector message when a goods grid gets the focus; none when the
// sector key is present, or for dbganexo1 of a new programme.
std::vector<Message> noSectorMessage(int grid, bool extension, const QString& sectorKey);

// HabilitaAnexo1: dbganexo1 is enabled only under sector "X" (extensions).
bool anexo1Enabled(const QString& directSectorKey);

// ValidaRFCIndirecto over NOMBRE (column 1) and RFC (column 2).
RowCheck ValidaRFCIndirecto(const QString& name, const QString& rfc);

}  // namespace annexes
