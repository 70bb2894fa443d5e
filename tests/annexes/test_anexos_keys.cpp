// The annexes window from the keyboard: where Enter, Tab and the arrows take
// the cell pointer in each grid, and closing with a row not yet written.
#include <QTimer>

#include "ui/modal.h"

#include "anexos_fixture.h"

namespace anexostest {
namespace {

TEST_F(AnexosTest, SectorGridKeysMoveThroughCellsAndRows) {
    sector(1, "IIa", "UNO");
    sector(1, "X", "DOS");
    open();
    ui::DataGrid* g = sectors(1);
    auto at = [g] { return std::pair(g->currentRow(), g->currentColumn()); };
    cell(g, 0, 1);
    keys(QStringLiteral("\r"));  // Enter: the next cell
    EXPECT_EQ(at(), std::pair(0, 2));
    key(Qt::Key_Right);  // from the last cell to the first of the next row
    EXPECT_EQ(at(), std::pair(1, 0));
    key(Qt::Key_Left);  // and back
    EXPECT_EQ(at(), std::pair(0, 2));
    key(Qt::Key_Tab);  // past the last cell: the next control
    EXPECT_TRUE(goods(0)->hasFocus());
}

// Tab and Enter leave dbganexo3 and dbgProdAbas at once; dbganexo2 goes cell
// by cell, passes its SECTOR cell without dropping the list, and leaves
// after its last cell. What was typed stays in the row.
TEST_F(AnexosTest, TabLeavesTheGridsThatSaySo) {
    const struct { int tab; const char* grid; int column; const char* typed; bool byTab; } cases[] = {
        {1, "dbganexo3", 3, "1234", true}, {2, "dbgProdAbas", 1, "empresa\r", false}, {0, "dbganexo2", 5, "1", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.grid);
        open();
        tab(c.tab);
        auto* g = win_->as<ui::DataGrid>(QString::fromUtf8(c.grid));
        cell(g, 0, c.column);
        keys(QString::fromUtf8(c.typed));
        if (c.byTab) key(Qt::Key_Tab);
        EXPECT_FALSE(g->isAncestorOf(QApplication::focusWidget()) || g->hasFocus());
        EXPECT_TRUE(g->rowDirty());
    }
    cell(goods(1), 0, 1);
    for (int column : {2, 3, 4}) {
        key(Qt::Key_Tab);
        EXPECT_EQ(goods(1)->currentColumn(), column);
        EXPECT_FALSE(win_->List(2)->isVisible());
    }
}

// Closing writes the rows left pending; shown modally, a refused one keeps
// the window (and the caller) waiting on the row's own tab.
TEST_F(AnexosTest, ClosingWritesPendingRowsOrWaits) {
    sector(1, "X");
    open();
    cell(goods(1), 0, 3);
    keys(QStringLiteral("12345678"));
    cell(goods(0), 0, 3);
    keys(QStringLiteral("123"));
    win_->Anexosf()->setCurrentIndex(2);
    win_->hide();  // shown afresh, as the main window shows it
    QTimer::singleShot(0, win_.get(), [this] {
        EXPECT_FALSE(win_->close());
        EXPECT_EQ(win_->Anexosf()->currentIndex(), 0);
        EXPECT_EQ(boxes_->texts(), QStringList{QString::fromUtf8("La Fracción debe ser de 8 números")});
    });
    QTimer::singleShot(100, win_.get(), [this] {
        goods(0)->setColumnText(3, QStringLiteral("87654321"));  // corrected
        EXPECT_TRUE(win_->close());
    });
    ui::showModal(win_.get());
    EXPECT_FALSE(win_->isVisible());
    EXPECT_EQ(column("mercbi", "FRACCION"), (std::vector<std::string>{"87654321", "12345678"}));
}

} // namespace
} // namespace anexostest
