// The Roman-numeral pick lists under the SECTOR cell of the goods grids.
#include <QScrollBar>

#include "anexos_fixture.h"

namespace anexostest {
namespace {

// How the list is dropped, and how it goes away.
enum class Drop { TypedKey, F2, F4, Button };
enum class Leave { Enter, DoubleClick, Escape, FocusElsewhere, Scroll };

struct ListCase {
    const char* name;
    int grid;  // 0 dbganexo1, 1 dbganexo2, 2 dbganexo3
    Drop drop;
    int downs;  // Down keys in the list before it goes
    Leave leave;
    const char* cell;  // SECTOR afterwards
};
const ListCase kListCases[] = {
    {"typed key, Enter", 1, Drop::TypedKey, 2, Leave::Enter, "III"},
    {"F2, Enter on the first", 0, Drop::F2, 0, Leave::Enter, "I"},
    {"F4, double click", 2, Drop::F4, 5, Leave::DoubleClick, "VI"},
    {"button, Enter", 0, Drop::Button, 19, Leave::Enter, "XX"},
    {"Escape keeps the cell", 1, Drop::TypedKey, 3, Leave::Escape, ""},
    {"focus elsewhere", 2, Drop::TypedKey, 1, Leave::FocusElsewhere, ""},
    {"rows scroll", 0, Drop::F4, 1, Leave::Scroll, ""},
};

TEST_F(AnexosTest, PickListDropsUnderTheSectorCell) {
    for (int i = 0; i < 30; ++i)  // rows enough to scroll dbganexo1
        append("mercbi", {{"TIPO_PROGR", Value(1)}, {"ANEXO", Value(1)}, {"TIPOBIEN", Value(1)},
                          {"FRACCION", Value(std::to_string(10000000 + i))}});
    for (const ListCase& c : kListCases) {
        SCOPED_TRACE(c.name);
        open();
        tabOf(c.grid);
        ui::DataGrid* grid = goods(c.grid);
        QListWidget* list = win_->List(c.grid + 1);
        const int row = grid->model()->rowCount() - 1;  // the add line
        cell(grid, row, 2);
        boxes_->clear();
        switch (c.drop) {
        case Drop::TypedKey: keys(QStringLiteral("x")); break;
        case Drop::F2: key(Qt::Key_F2); break;
        case Drop::F4: key(Qt::Key_F4); break;
        case Drop::Button: {
            const QRect r = grid->buttonRect(grid->model()->index(row, 2));
            ASSERT_FALSE(r.isEmpty());
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
            settle();
            break;
        }
        }
        ASSERT_TRUE(list->isVisible());
        EXPECT_TRUE(list->hasFocus());
        EXPECT_FALSE(grid->isEditing());
        // Just below the current cell, the column's width and 15 twips more.
        const QRect cellRect = grid->visualRect(grid->model()->index(row, 2));
        const QPoint below =
            grid->viewport()->mapTo(list->parentWidget(), QPoint(cellRect.left(), cellRect.top() + grid->rowHeight(row)));
        EXPECT_EQ(list->x(), below.x());
        EXPECT_EQ(list->y(), below.y());
        EXPECT_EQ(list->width(), grid->columnWidth(2) + win_->twipsToPixelsX(15));
        EXPECT_EQ(list->currentRow(), 0);
        for (int d = 0; d < c.downs; ++d) key(Qt::Key_Down);
        switch (c.leave) {
        case Leave::Enter: key(Qt::Key_Return); break;
        case Leave::Escape: key(Qt::Key_Escape); break;
        case Leave::DoubleClick: {
            const QPoint at = list->visualItemRect(list->currentItem()).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            settle();
            break;
        }
        case Leave::FocusElsewhere: focus(c.grid == 2 ? sectors(0) : sectors(1)); break;
        case Leave::Scroll: grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->value() - 3); settle(); break;
        }
        EXPECT_FALSE(list->isVisible());
        EXPECT_EQ(grid->model()->index(row, 2).data().toString(), QString::fromUtf8(c.cell));
        if (c.leave == Leave::Enter || c.leave == Leave::Escape || c.leave == Leave::DoubleClick) {
            EXPECT_TRUE(grid->hasFocus());  // back to the cell, not to the next control
        }
    }
}

// Tab onto the SECTOR cell moves on without dropping the list.
TEST_F(AnexosTest, TabPassesTheSectorCell) {
    open();
    cell(goods(1), 0, 1);
    keys(QStringLiteral("5"));
    key(Qt::Key_Tab);
    EXPECT_EQ(goods(1)->currentColumn(), 2);
    EXPECT_FALSE(win_->List(2)->isVisible());
    key(Qt::Key_Tab);
    EXPECT_EQ(goods(1)->currentColumn(), 3);
}

} // namespace
} // namespace anexostest
