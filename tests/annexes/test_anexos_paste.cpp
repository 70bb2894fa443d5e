// Rows pasted from a spreadsheet into the goods grids and the register of
// indirect producers: each through the grid's key filter and row check, the
// refused ones kept out and listed in one box.
#include <QClipboard>
#include <QGuiApplication>

#include "anexos_fixture.h"

namespace anexostest {
namespace {

TEST_F(AnexosTest, PastedRowsGoInOneByOneAndTheRefusedAreListedOnce) {
    const struct {
        int tab;
        const char* grid;
        int column;        // where the cell pointer stands
        bool editing;      // a cell editor open when Ctrl+V is pressed
        const char* text;  // as a spreadsheet copies it
        const char* table;
        const char* field;
        std::vector<std::string> stored;
        const char* box;
    } cases[] = {
        {0,
         "dbganexo1",
         3,
         false,
         "84713001\tcomputadoras\r\n8471.30.02\tTECLADOS\r\n847130\tCORTA\r\n\r\n84713003\tMONITORES\t1\tDE MAS\r\n",
         "mercbi",
         "DESCRIPCIO",
         {"COMPUTADORAS", "TECLADOS"},
         "Renglones agregados: 2. Renglones no agregados: 2.\n"
         "\nRenglón 3 (847130 | CORTA): La Fracción debe ser de 8 números"
         "\nRenglón 5 (84713003 | MONITORES | 1 | DE MAS): El renglón tiene más columnas que la tabla"},
        {2,
         "dbgProdAbas",
         1,
         true,
         "proveedor uno\t PUN850101AB1\nPROVEEDOR DOS\tPDO900202CD2\n\tPTR900202CD2",
         "prodabas",
         "NOMBRE",
         {"PROVEEDOR UNO"},
         "Renglones agregados: 1. Renglones no agregados: 2.\n"
         "\nRenglón 2 (PROVEEDOR DOS | PDO900202CD2): El RFC necesita un espacio al inicio"
         "\nRenglón 3 ( | PTR900202CD2): La descripción no puede quedar vacia; El RFC necesita un espacio al inicio"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.grid);
        sector(1, "X", "DIRECTO");
        open(), tab(c.tab);
        auto* grid = win_->findChild<ui::DataGrid*>(QString::fromLatin1(c.grid));
        ASSERT_NE(grid, nullptr);
        cell(grid, 0, c.column);
        if (c.editing)
            key(Qt::Key_F2);
        QGuiApplication::clipboard()->setText(QString::fromUtf8(c.text));
        key(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(column(c.table, c.field), c.stored);
        EXPECT_EQ(shown(), QString::fromUtf8(c.box) + "|Pegar renglones");
        EXPECT_EQ(grid->currentRow(), int(c.stored.size()));  // on the line that adds a row
    }
    EXPECT_EQ(column("mercbi", "FRACCION"), (std::vector<std::string>{"84713001", "84713002"}));
    EXPECT_EQ(column("mercbi", "IDSECTOR"), (std::vector<std::string>{"X", "X"}));
}

}  // namespace
}  // namespace anexostest
