// Form1: the plants grid dbgplantas over catdirpl.
#include <QLabel>

#include "capture/checks.h"
#include "capture/form1.h"
#include "ui/datagrid.h"
#include "ui/layouts/form1.h"
#include "ui/messagebox.h"

namespace capture {

namespace {

// The plants grid's rules: each column's key rule, and the postal code's
// length before a row is written.
class PlantRows : public ui::GridRules {
public:
    explicit PlantRows(Form1& form) : form_(form) {}

    int filterKey(int column, int code) override { return plantCellKey(column, code); }

    bool checkRow(ui::PendingRow& row) override {
        const QString cp = row.text(1);
        std::vector<Message> messages = plantRowCheck(row.currentColumn(), cp);
        // Left from another column the length is not examined, unless the code
        // is longer than the field can hold (five digits in older tables): the
        // table would refuse it without a word and the row be lost, so the
        // operator gets the same message instead.
        if (messages.empty()) {
            const int pos = form_.dtsplantas.fieldIndex("CP");
            if (pos >= 0 && cp.size() > form_.dtsplantas.fieldDef(static_cast<std::size_t>(pos)).length)
                messages = plantRowCheck(1, cp);
        }
        for (const Message& m : messages)
            ui::message(&form_, m.text, m.title, m.critical ? ui::Icon::Critical : ui::Icon::None);
        return messages.empty();
    }

private:
    Form1& form_;
};

}  // namespace

void Form1::setupPlantsGrid() {
    std::vector<ui::GridColumn> columns;
    for (int i = 0; i < ui::form1PlantColumnCount(); ++i) {
        const auto& c = ui::form1PlantColumns()[i];
        columns.push_back({QString::fromUtf8(c.caption), QString::fromUtf8(c.field), c.maxLength});
    }
    dbgplantas->setColumns(std::move(columns));
    dbgplantas->setDataSource(&dtsplantas);
    plantRows_ = std::make_unique<PlantRows>(*this);
    dbgplantas->setRules(plantRows_.get());
    dbgplantas->setEnterAsTab(true);

    // The legend's picture: the grid's two row markers, each beside the line
    // that explains it.
    paintRowMarkers(require<QLabel>("Picture1"), require<QLabel>("Label2", 0), require<QLabel>("Label3"));
}

}  // namespace capture
