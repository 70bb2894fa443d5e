// Rows of the annexes' grids written to their tables: the codes each row
// takes, refused rows kept for correction, HabilitaAnexo1, the no-sector
// messages and the indirect producers' check.
#include "anexos_fixture.h"

namespace anexostest {
namespace {

const QString kNoSector =
    QStringLiteral("Indique en la Ventana de sectores el correspondiente a esta mercancia a producir");

class AnexosRows : public AnexosTest {
protected:
    // Types into cells of row 0, column by column.
    void typeRow(ui::DataGrid* g, std::initializer_list<std::pair<int, const char*>> cells) {
        for (const auto& [column, text] : cells) {
            cell(g, 0, column);
            keys(QString::fromUtf8(text));
        }
    }
};

TEST_F(AnexosRows, SectorRows) {
    const struct {
        const char* name;
        int grid;  // grdMercyProd index
        const char *typed, *descripcion;
        QStringList messages;
        std::vector<std::string> written;  // CVE_SECTOR
    } cases[] = {
        {"sub-item letter", 0, "iic", "metales", {}, {"IIc"}},
        {"XV then b", 1, "xvb", "quimica", {}, {"XVb"}},
        {"XV then I", 1, "xvi", "papel", {}, {"XVI"}},
        {"letter after III swallowed", 0, "iiia", "vidrio", {}, {"III"}},
        {"bare XV, no description", 1, "xv", "",
         {QStringLiteral("El Sector no puede ser XV falta el inciso a o b"),
          QString::fromUtf8("La descripción no puede quedar vacia")}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        empty("sector");
        open();
        win_->Anexosf()->setCurrentIndex(c.grid == 1 ? 0 : 1);
        ui::DataGrid* g = sectors(c.grid);
        typeRow(g, {{0, c.typed}, {1, c.descripcion}});
        key(Qt::Key_Down);
        EXPECT_EQ(boxes_->texts(), c.messages);
        EXPECT_EQ(column("sector", "CVE_SECTOR"), c.written);
        const char* idsector = c.grid == 1 ? "1" : "2";
        if (c.written.empty()) {
            EXPECT_TRUE(g->rowDirty());  // kept to correct, its type set all the same
            EXPECT_EQ(g->columnText(2), QString::fromUtf8(idsector));
        } else {
            EXPECT_EQ(column("sector", "IDSECTOR"), std::vector<std::string>{idsector});
        }
    }
}

// A goods row takes its grid's codes and the key of the sector current on
// its tab (empty when there is none), whatever its SECTOR cell held.
TEST_F(AnexosRows, GoodsRowsTakeTheirCodes) {
    const struct {
        int grid;
        bool sectors;
        const char* picked;            // chosen from the pick list first, when given
        std::vector<std::string> row;  // TIPO_PROGR, ANEXO, IDSECTOR, TIPOBIEN
    } cases[] = {
        {0, true, "VI", {"1", "1", "IIa", "1"}},
        {1, true, nullptr, {"1", "1", "IIa", "2"}},
        {2, true, "III", {"2", "2", "X", "2"}},
        {1, false, "II", {"1", "1", "", "2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.grid);
        empty("mercbi");
        empty("sector");
        if (c.sectors) {
            sector(1, "IIa", "DIRECTO");
            sector(2, "X", "INDIRECTO");
        }
        open();
        tabOf(c.grid);
        ui::DataGrid* g = goods(c.grid);
        if (c.picked) {
            cell(g, 0, 2);
            key(Qt::Key_F4);
            while (win_->List(c.grid + 1)->currentItem()->text() != QString::fromUtf8(c.picked)) key(Qt::Key_Down);
            key(Qt::Key_Return);
            EXPECT_EQ(g->columnText(2), QString::fromUtf8(c.picked));
        }
        typeRow(g, {{3, "87654321"}});  // description left empty
        boxes_->clear();
        EXPECT_TRUE(g->commitRow());
        EXPECT_TRUE(boxes_->texts().isEmpty());
        const std::vector<std::string> got{column("mercbi", "TIPO_PROGR").at(0), column("mercbi", "ANEXO").at(0),
                                           column("mercbi", "IDSECTOR").at(0), column("mercbi", "TIPOBIEN").at(0)};
        EXPECT_EQ(got, c.row);
    }
}

// A short fraction is refused with its grid's text; the row stays with what
// was typed and is written once corrected.
TEST_F(AnexosRows, RefusedGoodsRowStaysUntilCorrected) {
    const struct {
        int grid;
        const char* text;
        ui::Icon icon;
        QString title;
    } cases[] = {
        {0, "La Fracción debe ser de 8 números", ui::Icon::Critical, QStringLiteral("Error")},
        {2, "La fraccion debe ser de 8 números", ui::Icon::None, ui::applicationTitle()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.grid);
        empty("mercbi");
        sector(1, "X");
        sector(2, "IV");
        open();
        tabOf(c.grid);
        ui::DataGrid* g = goods(c.grid);
        typeRow(g, {{3, "1234567"}, {4, "tornillos"}});
        boxes_->clear();
        EXPECT_FALSE(g->commitRow());
        ASSERT_EQ(boxes_->shown().size(), 1u);
        EXPECT_EQ(boxes_->shown()[0].text, QString::fromUtf8(c.text));
        EXPECT_EQ(boxes_->shown()[0].icon, c.icon);
        EXPECT_EQ(boxes_->shown()[0].title, c.title);
        EXPECT_EQ(g->columnText(3), QStringLiteral("1234567"));
        EXPECT_EQ(g->columnText(4), QStringLiteral("TORNILLOS"));  // typed in capitals
        EXPECT_TRUE(column("mercbi", "FRACCION").empty());
        typeRow(g, {{3, "12345678"}});
        EXPECT_TRUE(g->commitRow());
        EXPECT_EQ(column("mercbi", "DESCRIPCIO"), std::vector<std::string>{"TORNILLOS"});
    }
}

// Entering a goods grid with no sector chosen only informs; moving inside
// the grid or to its pick list and back is not entering it again.
TEST_F(AnexosRows, NoSectorMessageOnEnteringAGoodsGrid) {
    const struct {
        const char* name;
        int combo1;
        bool sectorRows;
        int grid;
        QString text, title;
        ui::Icon icon;
    } cases[] = {
        {"new programme, anexo1", 0, false, 0, {}, {}, ui::Icon::None},
        {"new programme, anexo2", 0, false, 1, kNoSector, QStringLiteral("Error"), ui::Icon::Critical},
        {"anexo3", 0, false, 2,
         QString::fromUtf8("Debe señalar en la ventana de sectores el correspondiente al bien a importar"),
         ui::applicationTitle(), ui::Icon::None},
        {"sector chosen, anexo3", 1, true, 2, {}, {}, ui::Icon::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        empty("sector");
        if (c.sectorRows) {
            sector(1, "X");
            sector(2, "V");
        }
        MainState state;
        state.combo1 = c.combo1;
        open(state);
        tabOf(c.grid);
        focus(c.grid == 2 ? sectors(0) : sectors(1));
        boxes_->clear();
        focus(goods(c.grid));
        if (c.text.isEmpty()) {
            EXPECT_TRUE(boxes_->shown().empty());
        } else {
            ASSERT_EQ(boxes_->shown().size(), 1u);
            EXPECT_EQ(boxes_->shown()[0].text, c.text);
            EXPECT_EQ(boxes_->shown()[0].title, c.title);
            EXPECT_EQ(boxes_->shown()[0].icon, c.icon);
        }
        boxes_->clear();
        cell(goods(c.grid), 0, 3);
        key(Qt::Key_F4);
        key(Qt::Key_Escape);
        EXPECT_TRUE(boxes_->shown().empty());
    }
}

// For an extension, dbganexo1 takes goods only under sector "X".
TEST_F(AnexosRows, ExtensionEnablesAnexo1OnlyUnderX) {
    sector(1, "IIa");
    sector(1, "X");
    MainState state;
    state.combo1 = 1;
    open(state);
    ui::DataGrid* s = sectors(1);
    focus(s);
    EXPECT_FALSE(goods(0)->isEnabled());  // IIa
    cell(s, 1, 0);
    EXPECT_TRUE(goods(0)->isEnabled());  // X
    typeRow(goods(0), {{3, "12345678"}});
    cell(s, 0, 0);  // back to IIa while the goods row waits
    EXPECT_FALSE(goods(0)->isEnabled());
    boxes_->clear();
    EXPECT_FALSE(goods(0)->commitRow());
    EXPECT_EQ(boxes_->texts(), QStringList{QStringLiteral("No debe capturar fraccones para el sector indicado")});

    // Reached while still enabled with no sector: HabilitaAnexo1, then the
    // message titled for it (the focus then moves on to dbganexo2, which has its say).
    empty("sector");
    open(state);
    goods(0)->setEnabled(true);
    focus(goods(1));
    boxes_->clear();
    focus(goods(0));
    EXPECT_FALSE(goods(0)->isEnabled());
    ASSERT_FALSE(boxes_->shown().empty());
    EXPECT_EQ(boxes_->shown()[0].text, kNoSector);
    EXPECT_EQ(boxes_->shown()[0].title, QString::fromUtf8("Error, no señalo el sector"));
}

TEST_F(AnexosRows, IndirectProducerRfc) {
    const struct {
        const char* rfc;
        QStringList messages;
    } cases[] = {
        {" abc850101xy1", {}},
        {"ABC850101XY1", {QStringLiteral("El RFC necesita un espacio al inicio")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rfc);
        empty("prodabas");
        open();
        win_->Anexosf()->setCurrentIndex(2);
        ui::DataGrid* g = win_->dbgProdAbas();
        typeRow(g, {{1, "proveedor sa"}, {2, c.rfc}});
        boxes_->clear();
        EXPECT_EQ(g->commitRow(), c.messages.isEmpty());
        EXPECT_EQ(boxes_->texts(), c.messages);
        EXPECT_EQ(g->columnText(2), QString::fromUtf8(c.rfc).toUpper());
        EXPECT_EQ(column("prodabas", "NOMBRE").size(), c.messages.isEmpty() ? 1u : 0u);
    }
}

} // namespace
} // namespace anexostest
