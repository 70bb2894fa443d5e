// Form1: the plants grid dbgplantas over catdirpl.
#include <QLabel>

#include "capture/checks.h"
#include "capture/form1.h"
#include "ui/datagrid.h"
#include "ui/layouts/form1.h"
#include "ui/messagebox.h"

namespace capture {

void Form1::setupPlantsGrid() {
    ui::DataGrid* grid = dbgplantas;
    std::vector<ui::GridColumn> columns;
    for (int i = 0; i < ui::form1PlantColumnCount(); ++i) {
        const auto& c = ui::form1PlantColumns()[i];
        columns.push_back({QString::fromUtf8(c.caption), QString::fromUtf8(c.field), c.maxLength});
    }
    grid->setColumns(std::move(columns));
    grid->setDataSource(&dtsplantas);
    grid->setKeyHook(plantCellKey);
    grid->setEnterAsTab(true);
    grid->setBeforeWriteHook([this](bool& cancel) { plantRowBeforeWrite(cancel); });
    // The grid's own data-error message stays silent.
    grid->setErrorHook([](const QString&) {});

    // The legend's picture: the grid's two row markers, each beside the line
    // that explains it.
    paintRowMarkers(require<QLabel>("Picture1"), require<QLabel>("Label2", 0), require<QLabel>("Label3"));
}

void Form1::plantRowBeforeWrite(bool& cancel) {
    ui::DataGrid* grid = dbgplantas;
    const QString cp = grid->columnText(1);
    std::vector<Message> messages = plantRowCheck(grid->currentColumn(), cp);
    // Left from another column the length is not examined, unless the code
    // is longer than the field can hold (five digits in older tables): the
    // table would refuse it without a word and the row be lost, so the
    // operator gets the same message instead.
    if (messages.empty()) {
        const int pos = dtsplantas.fieldIndex("CP");
        if (pos >= 0 && cp.size() > dtsplantas.fieldDef(static_cast<std::size_t>(pos)).length)
            messages = plantRowCheck(1, cp);
    }
    for (const Message& m : messages)
        ui::message(this, m.text, m.title, m.critical ? ui::Icon::Critical : ui::Icon::None);
    if (!messages.empty()) cancel = true;
}

} // namespace capture
