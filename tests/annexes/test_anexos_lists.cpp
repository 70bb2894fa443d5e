// The Roman-numeral pick lists under the SECTOR cell of the goods grids.
#include <QScrollBar>

#include "anexos_fixture.h"

namespace anexostest {
namespace {

// How the list is dropped ('k' typed key, F2, F4, 'b' button), the Down keys
// in it, how it goes ('E' Enter, 'D' double click, 'X' Escape, 'F' focus
// elsewhere, 'S' scroll) and what the SECTOR cell then holds.
TEST_F(AnexosTest, PickListDropsUnderTheSectorCell) {
    const struct { int grid; char drop; int downs; char leave; const char* cell; } cases[] = {
        {1, 'k', 2, 'E', "III"}, {0, '2', 0, 'E', "I"}, {2, '4', 5, 'D', "VI"}, {0, 'b', 19, 'E', "XX"},
        {1, 'k', 3, 'X', ""},    {2, 'k', 1, 'F', ""},  {0, '4', 1, 'S', ""},
    };
    for (int i = 0; i < 30; ++i)  // rows enough to scroll dbganexo1
        append("mercbi", {{"TIPO_PROGR", Value(1)}, {"ANEXO", Value(1)}, {"TIPOBIEN", Value(1)},
                          {"FRACCION", Value(std::to_string(10000000 + i))}});
    for (const auto& c : cases) {
        SCOPED_TRACE((std::string{c.drop, c.leave}));
        open();
        tabOf(c.grid);
        ui::DataGrid* grid = goods(c.grid);
        QListWidget* list = win_->List(c.grid + 1);
        const int row = grid->model()->rowCount() - 1;  // the add line
        const QModelIndex secCell = grid->model()->index(row, 2);
        cell(grid, row, 2);
        if (c.drop == 'k') keys(QStringLiteral("x"));
        if (c.drop == '2' || c.drop == '4') key(c.drop == '2' ? Qt::Key_F2 : Qt::Key_F4);
        if (c.drop == 'b') {
            ASSERT_FALSE(grid->buttonRect(secCell).isEmpty());
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->buttonRect(secCell).center());
            settle();
        }
        ASSERT_TRUE(list->isVisible());
        EXPECT_TRUE(list->hasFocus());
        EXPECT_FALSE(grid->isEditing());
        // Just below the current cell, the column's width and 15 twips more.
        const QRect r = grid->visualRect(secCell);
        EXPECT_EQ(list->pos(), grid->viewport()->mapTo(list->parentWidget(), QPoint(r.left(), r.top() + grid->rowHeight(row))));
        EXPECT_EQ(list->width(), grid->columnWidth(2) + win_->twipsToPixelsX(15));
        EXPECT_EQ(list->currentRow(), 0);
        for (int d = 0; d < c.downs; ++d) key(Qt::Key_Down);
        if (c.leave == 'E' || c.leave == 'X') key(c.leave == 'E' ? Qt::Key_Return : Qt::Key_Escape);
        if (c.leave == 'D') {
            const QPoint at = list->visualItemRect(list->currentItem()).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            settle();
        }
        if (c.leave == 'F') focus(c.grid == 2 ? sectors(0) : sectors(1));
        if (c.leave == 'S') {
            grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->value() - 3);
            settle();
        }
        EXPECT_FALSE(list->isVisible());
        EXPECT_EQ(grid->model()->index(row, 2).data().toString(), QString::fromUtf8(c.cell));
        // Back to the cell, not to the next control.
        EXPECT_EQ(grid->hasFocus(), c.leave != 'F' && c.leave != 'S');
    }
}

} // namespace
} // namespace anexostest
