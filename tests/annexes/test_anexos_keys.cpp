// The annexes window from the keyboard: where Enter, Tab and the arrows take
// the cell pointer in each grid, screen-reader names, and closing with a row
// not yet written.
#include <QAccessible>
#include <QTimer>

#include "ui/layouts/anexos.h"
#include "ui/modal.h"

#include "anexos_fixture.h"

namespace anexostest {
namespace {

TEST_F(AnexosTest, SectorGridKeysMoveThroughCellsAndRows) {
    sector(1, "IIa", "UNO");
    sector(1, "X", "DOS");
    open();
    ui::DataGrid* g = sectors(1);
    cell(g, 0, 1);
    keys(QStringLiteral("\r"));  // Enter: the next cell
    EXPECT_EQ(g->currentColumn(), 2);
    EXPECT_TRUE(g->hasFocus() || g->isEditing());
    key(Qt::Key_Right);  // from the last cell to the first of the next row
    EXPECT_EQ(g->currentRow(), 1);
    EXPECT_EQ(g->currentColumn(), 0);
    key(Qt::Key_Left);  // and back
    EXPECT_EQ(g->currentRow(), 0);
    EXPECT_EQ(g->currentColumn(), 2);
    key(Qt::Key_Tab);  // past the last cell: the next control
    EXPECT_TRUE(goods(0)->hasFocus());
}

// Tab and Enter leave dbganexo3 and dbgProdAbas at once; dbganexo2 goes cell
// by cell and leaves after its last cell. What was typed stays in the row.
TEST_F(AnexosTest, TabLeavesTheGridsThatSaySo) {
    const struct {
        int tab;
        const char* grid;
        int column;
        const char* typed;
        Qt::Key leaveWith;
    } cases[] = {
        {1, "dbganexo3", 3, "1234", Qt::Key_Tab},
        {1, "dbganexo3", 4, "tela\r", Qt::Key_unknown},  // Enter alone
        {2, "dbgProdAbas", 1, "empresa", Qt::Key_Tab},
        {2, "dbgProdAbas", 2, "\r", Qt::Key_unknown},
        {0, "dbganexo2", 5, "1", Qt::Key_Tab},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.grid) + " column " + std::to_string(c.column));
        open();
        win_->Anexosf()->setCurrentIndex(c.tab);
        settle();
        auto* g = win_->as<ui::DataGrid>(QString::fromUtf8(c.grid));
        cell(g, 0, c.column);
        keys(QString::fromUtf8(c.typed));
        if (c.leaveWith != Qt::Key_unknown) key(c.leaveWith);
        EXPECT_FALSE(g->isAncestorOf(QApplication::focusWidget()) || g->hasFocus());
        if (QString::fromUtf8(c.typed).trimmed().size() > 0) {
            EXPECT_TRUE(g->rowDirty());
        }
    }
    // Not before the last cell of dbganexo2.
    cell(goods(1), 0, 3);
    key(Qt::Key_Tab);
    EXPECT_EQ(goods(1)->currentColumn(), 4);
    EXPECT_TRUE(goods(1)->hasFocus() || goods(1)->isEditing());
}

TEST_F(AnexosTest, ClosingWritesTheRowsLeftPending) {
    sector(1, "X");
    open();
    cell(goods(1), 0, 3);
    keys(QStringLiteral("12345678"));
    cell(goods(0), 0, 3);
    keys(QStringLiteral("123"));  // refused: eight digits wanted
    win_->Anexosf()->setCurrentIndex(2);
    EXPECT_FALSE(win_->close());
    EXPECT_TRUE(win_->isVisible());
    EXPECT_EQ(win_->Anexosf()->currentIndex(), 0);  // shown where the row waits
    EXPECT_EQ(boxes_->texts(), QStringList{QString::fromUtf8("La Fracción debe ser de 8 números")});
    EXPECT_EQ(goods(0)->columnText(3), QStringLiteral("123"));
    keys(QStringLiteral("87654321"));  // typing replaces the cell
    EXPECT_TRUE(win_->close());
    EXPECT_EQ(column("mercbi", "FRACCION"), (std::vector<std::string>{"87654321", "12345678"}));
    EXPECT_EQ(column("mercbi", "TIPOBIEN"), (std::vector<std::string>{"1", "2"}));
}

// Shown modally, a refused row keeps the window (and the caller) waiting.
TEST_F(AnexosTest, ModalWindowWaitsForItsRefusedRow) {
    sector(1, "X");
    open();
    cell(goods(0), 0, 3);
    keys(QStringLiteral("123"));
    QTimer::singleShot(0, win_.get(), [this] { EXPECT_FALSE(win_->close()); });
    QTimer::singleShot(100, win_.get(), [this] {
        goods(0)->setColumnText(3, QStringLiteral("12345678"));  // corrected
        EXPECT_TRUE(win_->close());
    });
    win_->hide();  // shown afresh, as the main window shows it
    ui::showModal(win_.get());
    EXPECT_EQ(column("mercbi", "FRACCION"), (std::vector<std::string>{"12345678"}));
    EXPECT_FALSE(win_->isVisible());
}

TEST(AnexosLayout, NamedForScreenReaders) {
    ui::FormWindow w(ui::anexosLayout());
    const struct {
        const char* control;
        int index;
        const char* name;
    } cases[] = {
        {"grdMercyProd", 1, "SECTORES"},
        {"grdMercyProd", 0, "S E C T O R E S"},
        {"dbganexo1", -1, "MERCANCIAS A PRODUCIR"},
        {"dbganexo2", -1, "BIENES A IMPORTAR"},
        {"dbganexo3", -1, "BIENES A PRODUCIR"},
        {"dbgProdAbas", -1, "REGISTRO DE PRODUCTOR INDIRECTO"},
        {"List1", -1, "SECTOR"},
        {"List4", -1, "SECTOR"},
        {"tabAnexo", 2, "Anexo 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        QWidget* control = w.control(QString::fromUtf8(c.control), c.index);
        ASSERT_NE(control, nullptr);
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(i, nullptr);
        EXPECT_EQ(i->text(QAccessible::Name), QString::fromUtf8(c.name));
    }
}

} // namespace
} // namespace anexostest
