// The annexes window from the keyboard: cell moves, closing, the numeral pick lists, pasted rows.
#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTimer>

#include "ui/modal.h"

#include "anexos_fixture.h"

namespace anexostest {
namespace {

TEST_F(AnexosTest, SectorGridKeysMoveThroughCellsAndRows) {
    sector(1, "IIa", "UNO"), sector(1, "X", "DOS"), open();
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

// Tab and Enter leave dbganexo3 and dbgProdAbas at once, dbganexo2 after its last cell; the row stays typed.
TEST_F(AnexosTest, TabLeavesTheGridsThatSaySo) {
    // The tab, the grid, the column typed into, what is typed, then Tab or not.
    const std::tuple<int, const char*, int, const char*, bool> cases[] = {
        {1, "dbganexo3", 3, "1234", true}, {2, "dbgProdAbas", 1, "empresa\r", false}, {0, "dbganexo2", 5, "1", true}};
    for (const auto& [page, name, column, typed, byTab] : cases) {
        SCOPED_TRACE(name);
        open(), tab(page);
        auto* g = win_->as<ui::DataGrid>(QString::fromUtf8(name));
        cell(g, 0, column);
        keys(QString::fromUtf8(typed));
        if (byTab)
            key(Qt::Key_Tab);
        EXPECT_FALSE(g->isAncestorOf(QApplication::focusWidget()) || g->hasFocus());
        EXPECT_TRUE(g->rowDirty());
    }
    cell(goods(1), 0, 1);
    for (int column : {2, 3, 4}) {
        key(Qt::Key_Tab);
        EXPECT_EQ(goods(1)->currentColumn(), column);
        EXPECT_FALSE(win_->List2->isVisible());
    }
}

// Closing writes the pending rows; shown modally, a refused one keeps the window waiting on its tab.
TEST_F(AnexosTest, ClosingWritesPendingRowsOrWaits) {
    sector(1, "X"), open();
    typeRow(goods(1), {{3, "12345678"}}), typeRow(goods(0), {{3, "123"}});
    win_->Anexosf->setCurrentIndex(2);
    win_->hide();  // shown afresh, as the main window shows it
    QTimer::singleShot(0, win_.get(), [this] {
        EXPECT_FALSE(win_->close());
        EXPECT_EQ(win_->Anexosf->currentIndex(), 0);
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

// Dropped by 'k' key, F2, F4, 'b' button; the Downs; gone by 'E' Enter, 'D' double click, 'X' Escape,
// 'F' focus elsewhere, 'S' scroll; what the SECTOR cell then holds.
TEST_F(AnexosTest, PickListDropsUnderTheSectorCell) {
    const std::tuple<int, char, int, char, const char*> cases[] = {
        {1, 'k', 2, 'E', "III"}, {0, '2', 0, 'E', "I"}, {2, '4', 5, 'D', "VI"}, {0, 'b', 19, 'E', "XX"},
        {1, 'k', 3, 'X', ""},    {2, 'k', 1, 'F', ""},  {0, '4', 1, 'S', ""},
    };
    for (int i = 0; i < 30; ++i)  // rows enough to scroll dbganexo1
        good(1, 1, 1, "", std::to_string(10000000 + i));
    for (const auto& [g, drop, downs, leave, text] : cases) {
        SCOPED_TRACE((std::string{drop, leave}));
        open(), tabOf(g);
        ui::DataGrid* grid = goods(g);
        QListWidget* list = win_->pickList(g);
        const int row = grid->model()->rowCount() - 1;  // the add line
        const QModelIndex secCell = grid->model()->index(row, 2);
        cell(grid, row, 2);
        if (drop == 'k')
            keys(QStringLiteral("x"));
        if (drop == '2' || drop == '4')
            key(drop == '2' ? Qt::Key_F2 : Qt::Key_F4);
        if (drop == 'b')
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->buttonRect(secCell).center()), settle();
        ASSERT_TRUE(list->isVisible() && list->hasFocus() && !grid->isEditing());
        EXPECT_EQ(list->currentRow(), 0);
        for (int d = 0; d < downs; ++d)
            key(Qt::Key_Down);
        if (leave == 'E' || leave == 'X')
            key(leave == 'E' ? Qt::Key_Return : Qt::Key_Escape);
        if (leave == 'D') {
            const QPoint at = list->visualItemRect(list->currentItem()).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at), settle();
        }
        if (leave == 'F')
            focus(g == 2 ? sectors(0) : sectors(1));
        if (leave == 'S')
            grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->value() - 3), settle();
        EXPECT_FALSE(list->isVisible());
        EXPECT_EQ(grid->model()->index(row, 2).data().toString(), QString::fromUtf8(text));
        // Back to the cell, not to the next control.
        EXPECT_EQ(grid->hasFocus(), leave != 'F' && leave != 'S');
    }
}

// Pasted rows go through the key filter and row check; the refused are listed once; the pointer ends on the add line.
TEST_F(AnexosTest, PastedRowsGoInOneByOneAndTheRefusedAreListedOnce) {
    auto paste = [this](int page, const char* name, int at, bool editing, const char* text) {
        sector(1, "X", "DIRECTO");
        open(), tab(page);
        auto* grid = win_->as<ui::DataGrid>(QString::fromLatin1(name));
        cell(grid, 0, at);
        if (editing)
            key(Qt::Key_F2);
        QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
        key(Qt::Key_V, Qt::ControlModifier);
        return grid->currentRow();
    };
    EXPECT_EQ(paste(0, "dbganexo1", 3, false,
                    "84713001\tcomputadoras\r\n8471.30.02\tTECLADOS\r\n847130\tCORTA\r\n\r\n84713003\tMONITORES\t1\tDE "
                    "MAS\r\n"),
              2);
    EXPECT_EQ(column("mercbi", "DESCRIPCIO"), (std::vector<std::string>{"COMPUTADORAS", "TECLADOS"}));
    EXPECT_EQ(column("mercbi", "FRACCION"), (std::vector<std::string>{"84713001", "84713002"}));
    EXPECT_EQ(column("mercbi", "IDSECTOR"), (std::vector<std::string>{"X", "X"}));
    EXPECT_EQ(shown(), QString::fromUtf8("Renglones agregados: 2. Renglones no agregados: 2.\n"
                                         "\nRenglón 3 (847130 | CORTA): La Fracción debe ser de 8 números\nRenglón 5 "
                                         "(84713003 | MONITORES | 1 | DE MAS): El renglón tiene más columnas que la "
                                         "tabla|Pegar renglones"));
    EXPECT_EQ(
        paste(2, "dbgProdAbas", 1, true, "proveedor uno\t PUN850101AB1\nPROVEEDOR DOS\tPDO900202CD2\n\tPTR900202CD2"),
        1);
    EXPECT_EQ(column("prodabas", "NOMBRE"), std::vector<std::string>{"PROVEEDOR UNO"});
    EXPECT_EQ(shown(),
              QString::fromUtf8("Renglones agregados: 1. Renglones no agregados: 2.\n\nRenglón 2 (PROVEEDOR DOS "
                                "| PDO900202CD2): El RFC necesita un espacio al inicio\nRenglón 3 ( | "
                                "PTR900202CD2): La descripción no puede quedar vacia; El RFC necesita un "
                                "espacio al inicio|Pegar renglones"));
}

}  // namespace
}  // namespace anexostest
