// Rows of the annexes' grids written to their tables: the codes each row
// takes, refused rows kept for correction, HabilitaAnexo1, the no-sector
// messages and the indirect producers' check.
#include "anexos_fixture.h"

namespace anexostest {
namespace {

const QString kXV = QStringLiteral("El Sector no puede ser XV falta el inciso a o b");
const QString kNoDesc = QString::fromUtf8("La descripción no puede quedar vacia");
const QString kNoSector =
    QStringLiteral("Indique en la Ventana de sectores el correspondiente a esta mercancia a producir");

// Types a row into a grid, cell by cell; leaves it with Down.
struct Typed {
    int column;
    const char* text;
};

class AnexosRows : public AnexosTest {
protected:
    void typeRow(ui::DataGrid* g, int row, std::initializer_list<Typed> cells) {
        for (const Typed& t : cells) {
            cell(g, row, t.column);
            keys(QString::fromUtf8(t.text));
        }
    }
    void leaveRow() { key(Qt::Key_Down); }
};

struct SectorCase {
    const char* name;
    int grid;  // grdMercyProd index
    const char* keysTyped;
    const char* descripcion;
    QStringList messages;
    std::vector<std::string> written;  // CVE_SECTOR of the file's rows
};

TEST_F(AnexosRows, SectorRows) {
    const SectorCase cases[] = {
        {"X with a description", 1, "x", "textiles", {}, {"X"}},
        {"sub-item letter", 0, "iic", "metales", {}, {"IIc"}},
        {"XV then b", 1, "xvb", "quimica", {}, {"XVb"}},
        {"XV then I", 1, "xvi", "papel", {}, {"XVI"}},
        {"letter after III swallowed", 0, "iiia", "vidrio", {}, {"III"}},
        {"bare XV, no description", 1, "xv", "", {kXV, kNoDesc}, {}},
        {"empty key", 0, "", "algo", {QStringLiteral("El Sector no puede ser nulo")}, {}},
    };
    for (const SectorCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(dir_ / "sector.dbf");
        store::ensureDataDirectory(dir_);
        open();
        win_->Anexosf()->setCurrentIndex(c.grid == 1 ? 0 : 1);
        ui::DataGrid* g = sectors(c.grid);
        typeRow(g, 0, {{0, c.keysTyped}, {1, c.descripcion}});
        leaveRow();
        EXPECT_EQ(boxes_->texts(), c.messages);
        for (const ui::ShownBox& b : boxes_->shown()) {
            EXPECT_EQ(b.icon, ui::Icon::Critical);
            EXPECT_EQ(b.title, QStringLiteral("Error"));
        }
        EXPECT_EQ(column("sector", "CVE_SECTOR"), c.written);
        if (!c.written.empty()) {
            EXPECT_EQ(column("sector", "IDSECTOR"), (std::vector<std::string>{c.grid == 1 ? "1" : "2"}));
        } else {
            EXPECT_TRUE(g->rowDirty());  // refused: still there to correct, its type set all the same
            EXPECT_EQ(g->columnText(2), c.grid == 1 ? QStringLiteral("1") : QStringLiteral("2"));
        }
    }
}

// A goods row takes the codes of its grid and the key of the sector current
// on its tab, whatever the SECTOR cell held.
TEST_F(AnexosRows, GoodsRowsTakeTheirCodes) {
    sector(1, "IIa", "DIRECTO");
    sector(2, "X", "INDIRECTO");
    const struct {
        int grid;
        const char* picked;  // through the pick list first, when given
        std::vector<std::string> row;  // TIPO_PROGR, ANEXO, IDSECTOR, TIPOBIEN
    } cases[] = {
        {0, "VI", {"1", "1", "IIa", "1"}},
        {1, nullptr, {"1", "1", "IIa", "2"}},
        {2, "III", {"2", "2", "X", "2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.grid);
        std::filesystem::remove(dir_ / "mercbi.dbf");
        store::ensureDataDirectory(dir_);
        open();
        win_->Anexosf()->setCurrentIndex(c.grid == 2 ? 1 : 0);
        ui::DataGrid* g = goods(c.grid);
        if (c.picked) {
            cell(g, 0, 2);
            key(Qt::Key_F4);
            for (int i = 0; win_->List(c.grid + 1)->currentItem()->text() != QString::fromUtf8(c.picked); ++i) {
                ASSERT_LT(i, 20);
                key(Qt::Key_Down);
            }
            key(Qt::Key_Return);
            EXPECT_EQ(g->columnText(2), QString::fromUtf8(c.picked));
        }
        typeRow(g, 0, {{3, "87654321"}});  // description left empty
        leaveRow();
        if (c.grid == 2) {  // the focus moved on: come back to leave the row
            cell(g, 0, 3);
            key(Qt::Key_Down);
        }
        EXPECT_TRUE(boxes_->texts().isEmpty()) << boxes_->texts().join(QLatin1Char('|')).toStdString();
        const std::vector<std::string> got{column("mercbi", "TIPO_PROGR").at(0), column("mercbi", "ANEXO").at(0),
                                           column("mercbi", "IDSECTOR").at(0), column("mercbi", "TIPOBIEN").at(0)};
        EXPECT_EQ(got, c.row);
        EXPECT_EQ(column("mercbi", "FRACCION"), (std::vector<std::string>{"87654321"}));
    }
}

// A short fraction is refused with its grid's text; the row stays with what
// was typed and is written once corrected.
TEST_F(AnexosRows, RefusedGoodsRowStaysUntilCorrected) {
    sector(1, "X");
    sector(2, "IV");
    const struct {
        int grid;
        QString text;
        ui::Icon icon;
        QString title;
    } cases[] = {
        {0, QString::fromUtf8("La Fracción debe ser de 8 números"), ui::Icon::Critical, QStringLiteral("Error")},
        {2, QString::fromUtf8("La fraccion debe ser de 8 números"), ui::Icon::None, ui::applicationTitle()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.grid);
        open();
        win_->Anexosf()->setCurrentIndex(c.grid == 2 ? 1 : 0);
        ui::DataGrid* g = goods(c.grid);
        typeRow(g, 0, {{3, "1234567"}, {4, "tornillos"}});
        boxes_->clear();
        EXPECT_TRUE(g->commitRow() == false);
        ASSERT_EQ(boxes_->shown().size(), 1u);
        EXPECT_EQ(boxes_->shown()[0].text, c.text);
        EXPECT_EQ(boxes_->shown()[0].icon, c.icon);
        EXPECT_EQ(boxes_->shown()[0].title, c.title);
        EXPECT_EQ(g->columnText(3), QStringLiteral("1234567"));
        EXPECT_EQ(g->columnText(4), QStringLiteral("TORNILLOS"));  // typed in capitals
        EXPECT_TRUE(rows("mercbi").empty());
        typeRow(g, 0, {{3, "12345678"}});
        EXPECT_TRUE(g->commitRow());
        EXPECT_EQ(column("mercbi", "DESCRIPCIO"), (std::vector<std::string>{"TORNILLOS"}));
        std::filesystem::remove(dir_ / "mercbi.dbf");
        close();
        store::ensureDataDirectory(dir_);
    }
}

// No sector row at all: the goods row copies the empty key and is written.
TEST_F(AnexosRows, GoodsRowWithoutSectorCopiesTheEmptyKey) {
    open();
    boxes_->clear();
    typeRow(goods(1), 0, {{3, "11112222"}});
    EXPECT_TRUE(goods(1)->commitRow());
    EXPECT_EQ(column("mercbi", "IDSECTOR"), (std::vector<std::string>{""}));
    EXPECT_EQ(column("mercbi", "TIPOBIEN"), (std::vector<std::string>{"2"}));
}

// Entering a goods grid with no sector chosen only informs.
TEST_F(AnexosRows, NoSectorMessageOnEnteringAGoodsGrid) {
    // An extension disables dbganexo1 as soon as the empty sector grid is
    // entered, so that case comes from the neighbouring goods grid.
    const struct {
        const char* name;
        int combo1;
        bool sectorRow;
        int grid;
        QString text, title;
        ui::Icon icon;
        bool fromSectors = true;
    } cases[] = {
        {"new programme, anexo1", 0, false, 0, {}, {}, ui::Icon::None},
        {"new programme, anexo2", 0, false, 1, kNoSector, QStringLiteral("Error"), ui::Icon::Critical},
        {"extension, anexo1", 1, false, 0, kNoSector, QString::fromUtf8("Error, no señalo el sector"),
         ui::Icon::Critical, false},
        {"anexo3", 0, false, 2,
         QString::fromUtf8("Debe señalar en la ventana de sectores el correspondiente al bien a importar"),
         ui::applicationTitle(), ui::Icon::None},
        {"sector chosen, anexo2", 0, true, 1, {}, {}, ui::Icon::None},
        {"sector chosen, anexo3", 1, true, 2, {}, {}, ui::Icon::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(dir_ / "sector.dbf");
        store::ensureDataDirectory(dir_);
        if (c.sectorRow) {
            sector(1, "X");
            sector(2, "V");
        }
        MainState state;
        state.combo1 = c.combo1;
        open(state);
        win_->Anexosf()->setCurrentIndex(c.grid == 2 ? 1 : 0);
        if (!c.fromSectors) goods(0)->setEnabled(true);  // reached before the sector grid disabled it
        focus(!c.fromSectors ? goods(1) : c.grid == 2 ? sectors(0) : sectors(1));
        boxes_->clear();
        focus(goods(c.grid));
        if (c.text.isEmpty()) {
            EXPECT_TRUE(boxes_->shown().empty());
        } else {
            // (Disabled by HabilitaAnexo1, dbganexo1 hands the focus on to
            // dbganexo2, which has its own say.)
            ASSERT_EQ(boxes_->shown().size(), c.fromSectors ? 1u : 2u);
            EXPECT_EQ(boxes_->shown()[0].text, c.text);
            EXPECT_EQ(boxes_->shown()[0].title, c.title);
            EXPECT_EQ(boxes_->shown()[0].icon, c.icon);
        }
        if (c.combo1 == 1 && c.grid == 0) {
            EXPECT_FALSE(goods(0)->isEnabled());  // HabilitaAnexo1 ran first
            continue;
        }
        // Moving inside the grid, or to its pick list and back, is not entering it again.
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
    EXPECT_EQ(s->columnText(0), QStringLiteral("IIa"));
    EXPECT_FALSE(goods(0)->isEnabled());
    cell(s, 1, 0);  // X
    EXPECT_TRUE(goods(0)->isEnabled());
    boxes_->clear();
    focus(goods(0));
    typeRow(goods(0), 0, {{3, "12345678"}});
    cell(s, 0, 0);  // back to IIa while the goods row waits
    EXPECT_FALSE(goods(0)->isEnabled());
    boxes_->clear();
    EXPECT_FALSE(goods(0)->commitRow());
    EXPECT_EQ(boxes_->texts(), QStringList{QStringLiteral("No debe capturar fraccones para el sector indicado")});

    // A new programme leaves dbganexo1 alone.
    state.combo1 = 0;
    open(state);
    focus(sectors(1));
    focus(goods(1));
    EXPECT_TRUE(goods(0)->isEnabled());
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
        std::filesystem::remove(dir_ / "prodabas.dbf");
        store::ensureDataDirectory(dir_);
        open();
        win_->Anexosf()->setCurrentIndex(2);
        ui::DataGrid* g = win_->dbgProdAbas();
        typeRow(g, 0, {{1, "proveedor sa"}, {2, c.rfc}});
        boxes_->clear();
        EXPECT_EQ(g->commitRow(), c.messages.isEmpty());
        EXPECT_EQ(boxes_->texts(), c.messages);
        EXPECT_EQ(g->columnText(2), QString::fromUtf8(c.rfc).toUpper());
        EXPECT_EQ(column("prodabas", "NOMBRE"),
                  c.messages.isEmpty() ? std::vector<std::string>{"PROVEEDOR SA"} : std::vector<std::string>{});
    }
}

} // namespace
} // namespace anexostest
