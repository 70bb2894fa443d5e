// The annexes window's data: the opening sequence (tabs by programme type,
// the maquila rule, row sets and pick lists, an engine error on the way),
// and rows written to their tables: the codes each row takes, refused rows
// kept for correction, HabilitaAnexo1, the no-sector messages, the producers' check.
#include <QLabel>

#include "anexos_fixture.h"

namespace anexostest {
namespace {

// The type is read from its leading number: " 2" is 2, "12" is neither.
TEST_F(AnexosTest, TabsFollowTheProgrammeType) {
    const struct {
        const char *tipoProg, *enabled;
        int current;
    } cases[] = {{"1", "101", 0}, {" 2", "010", 1}, {"12", "111", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tipoProg);
        open(c.tipoProg);
        QTabWidget* tabs = win_->Anexosf;
        std::string enabled;
        for (int t : {0, 1, 2})
            enabled += tabs->isTabEnabled(t) ? '1' : '0';
        EXPECT_EQ(enabled, c.enabled);
        EXPECT_EQ(tabs->currentIndex(), c.current);
        EXPECT_TRUE(boxes_->shown().empty());
    }
}

TEST_F(AnexosTest, MaquilaProgrammeGrowsTheGoodsGrid) {
    const struct {
        const char* number;
        const char* year;
        bool grows;
    } cases[] = {{"0", "2005", false}, {"12", "", false}, {"  7", "1999", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.number) + " / " + c.year);
        open("3", 0, c.number, c.year);
        ui::DataGrid* grid = goods(0);
        auto* bar = win_->findChild<QLabel*>(QStringLiteral("dbganexo1Caption"));
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->height() + grid->height(), win_->twipsToPixelsY(c.grows ? 4000 : win_->entry(grid)->height));
        EXPECT_EQ(win_->control(QStringLiteral("Label19"), 2)->isVisible(), !c.grows);
        // Grown or not, the goods grids do not cover one another.
        EXPECT_FALSE(grid->geometry().intersects(goods(1)->geometry()));
    }
}

TEST_F(AnexosTest, GridsShowTheirRowSets) {
    sector(1, "XV"), sector(2, "X");
    append("sector", {{"IDSECTOR", Value(1)}, {"DESCRIPCIO", Value("SIN CLAVE")}});  // left out of the direct list
    sector(1, "IIa"), sector(2, "IV");
    append("sector", {{"IDSECTOR", Value(2)}, {"DESCRIPCIO", Value("SIN CLAVE")}});  // kept in the indirect list
    // TIPO_PROGR, ANEXO, TIPOBIEN, IDSECTOR, FRACCION; annex 2 under the direct type is in no grid.
    const struct {
        int tipo, anexo, bien;
        const char *sec, *fraccion;
    } goodsRows[] = {{1, 1, 1, "XV", "22222222"},
                     {1, 1, 1, "IIa", "11111111"},
                     {1, 1, 2, "IIa", "33333333"},
                     {2, 2, 2, "X", "44444444"},
                     {1, 2, 2, "X", "55555555"}};
    for (const auto& r : goodsRows)
        append("mercbi", {{"TIPO_PROGR", Value(r.tipo)},
                          {"ANEXO", Value(r.anexo)},
                          {"TIPOBIEN", Value(r.bien)},
                          {"IDSECTOR", Value(r.sec)},
                          {"FRACCION", Value(r.fraccion)}});
    append("prodabas", {{"NOMBRE", Value("PROVEEDOR UNO")}});
    open();
    auto rows = [](ui::DataGrid* g, int column) {  // the add line left out
        QStringList out;
        for (int r = 0; r + 1 < g->model()->rowCount(); ++r)
            out << g->model()->index(r, column).data().toString();
        return out.join(',');
    };
    EXPECT_EQ(rows(sectors(1), 0) + " / " + rows(sectors(0), 0), "IIa,XV / ,IV,X");
    EXPECT_EQ(rows(goods(0), 3) + " / " + rows(goods(1), 3) + " / " + rows(goods(2), 3),
              "11111111,22222222 / 33333333 / 44444444");
    EXPECT_EQ(rows(win_->dbgProdAbas, 1), "PROVEEDOR UNO");
    QString items;
    for (QListWidget* list : {win_->List1, win_->List2, win_->List3, win_->List4}) {
        for (int i = 0; i < list->count(); ++i)
            items += list->item(i)->text() + " ";
        items += "/ ";
    }
    const QString six = "I II III IV V VI ";
    EXPECT_EQ(items,
              six + "VII VIII IX X XI XII XIII XIV XV XVI XVII XVIII XIX XX / " + six + "/ " + six + "/ " + six + "/ ");
    EXPECT_EQ(win_->dtssectoresind.recordSource(), "select * from sector where idsector = 2 order by cve_sector ");
    EXPECT_FALSE(win_->loadFailed());
}

// The engine's message ends the sequence; the window stays usable: the grids
// over the missing table take nothing, the others work.
TEST_F(AnexosTest, EngineErrorWhileOpeningDoesNotEndTheWindow) {
    sector(1, "X"), std::filesystem::remove(dir_ / "mercbi.dbf"), open();
    EXPECT_TRUE(win_->loadFailed());
    ASSERT_EQ(opening_.size(), 1u);
    EXPECT_TRUE(opening_[0].text.contains(QStringLiteral("mercbi"), Qt::CaseInsensitive));
    EXPECT_EQ(sectors(1)->model()->rowCount(), 2);  // step 7 ran before the failing step
    typeRow(goods(1), {{3, "12345678"}});
    key(Qt::Key_Down);
    EXPECT_FALSE(goods(1)->rowDirty());
    cell(sectors(1), 1, 0);
    keys(QStringLiteral("v\ttextiles"));
    key(Qt::Key_Up);
    EXPECT_EQ(column("sector", "CVE_SECTOR"), (std::vector<std::string>{"X", "V"}));
    EXPECT_TRUE(boxes_->shown().empty());
}

const char* const kNoSector = "Indique en la Ventana de sectores el correspondiente a esta mercancia a producir";

TEST_F(AnexosTest, SectorRows) {
    const struct {
        int grid;
        const char *typed, *descripcion, *messages;
        std::vector<std::string> written;
    } cases[] = {
        {0, "iic", "metales", "", {"IIc"}},  // sub-item letter in lower case
        {1, "xvi", "papel", "", {"XVI"}},    // an I extends the numeral
        {1,
         "xv",
         "",
         "El Sector no puede ser XV falta el inciso a o b|Error|critical\n"
         "La descripción no puede quedar vacia|Error|critical",
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        empty("sector"), open(), tab(c.grid == 1 ? 0 : 1);
        ui::DataGrid* g = sectors(c.grid);
        typeRow(g, {{0, c.typed}, {1, c.descripcion}});
        key(Qt::Key_Down);
        EXPECT_EQ(shown(), QString::fromUtf8(c.messages));
        EXPECT_EQ(column("sector", "CVE_SECTOR"), c.written);
        const std::string idsector = c.grid == 1 ? "1" : "2";
        EXPECT_EQ(column("sector", "IDSECTOR"), c.written.empty() ? std::vector<std::string>{} : std::vector{idsector});
        EXPECT_EQ(g->rowDirty(), c.written.empty());  // a refused row is kept, its type set all the same
        if (c.written.empty()) {
            EXPECT_EQ(g->columnText(2).toStdString(), idsector);
        }
    }
}

// A goods row takes its grid's codes and the key of the sector current on
// its tab (empty when there is none), whatever its SECTOR cell held.
TEST_F(AnexosTest, GoodsRowsTakeTheirCodes) {
    // row: TIPO_PROGR, ANEXO, IDSECTOR, TIPOBIEN
    const struct {
        int grid;
        bool sectors;
        const char* picked;
        std::vector<std::string> row;
    } cases[] = {
        {0, true, "VI", {"1", "1", "IIa", "1"}},
        {1, true, nullptr, {"1", "1", "IIa", "2"}},
        {2, true, "III", {"2", "2", "X", "2"}},
        {1, false, "II", {"1", "1", "", "2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.grid);
        empty("mercbi"), empty("sector");
        if (c.sectors)
            sector(1, "IIa", "DIRECTO"), sector(2, "X", "INDIRECTO");
        open(), tabOf(c.grid);
        ui::DataGrid* g = goods(c.grid);
        if (c.picked) {
            cell(g, 0, 2), key(Qt::Key_F4);
            while (win_->pickList(c.grid)->currentItem()->text() != QString::fromUtf8(c.picked))
                key(Qt::Key_Down);
            key(Qt::Key_Return);
        }
        typeRow(g, {{3, "87654321"}}), boxes_->clear();  // description left empty
        EXPECT_TRUE(g->commitRow());
        std::vector<std::string> got;
        for (const char* f : {"TIPO_PROGR", "ANEXO", "IDSECTOR", "TIPOBIEN"})
            got.push_back(column("mercbi", f).at(0));
        EXPECT_EQ(got, c.row);
        EXPECT_EQ(shown(), "");
    }
}

// A short fraction is refused with its grid's text; the row stays with what
// was typed and is written once corrected.
TEST_F(AnexosTest, RefusedGoodsRowStaysUntilCorrected) {
    for (int grid : {0, 2}) {
        SCOPED_TRACE(grid);
        empty("mercbi"), sector(1, "X"), sector(2, "IV");
        open(), tabOf(grid);
        ui::DataGrid* g = goods(grid);
        typeRow(g, {{3, "1234567"}, {4, "tornillos"}}), boxes_->clear();
        EXPECT_FALSE(g->commitRow());
        EXPECT_EQ(shown(), grid == 0
                               ? QString::fromUtf8("La Fracción debe ser de 8 números|Error|critical")
                               : QString::fromUtf8("La fraccion debe ser de 8 números|") + ui::applicationTitle());
        EXPECT_EQ(g->columnText(3) + " " + g->columnText(4), "1234567 TORNILLOS");  // typed in capitals
        EXPECT_TRUE(column("mercbi", "FRACCION").empty());
        typeRow(g, {{3, "12345678"}});
        EXPECT_TRUE(g->commitRow());
        EXPECT_EQ(column("mercbi", "DESCRIPCIO"), std::vector<std::string>{"TORNILLOS"});
    }
}

// Entering a goods grid with no sector chosen only informs; moving inside
// the grid or to its pick list and back is not entering it again.
TEST_F(AnexosTest, NoSectorMessageOnEnteringAGoodsGrid) {
    const struct {
        int combo1;
        bool sectorRows;
        int grid;
        QString box;
    } cases[] = {
        {0, false, 0, ""},
        {0, false, 1, QString::fromUtf8(kNoSector) + "|Error|critical"},
        {1, true, 2, ""},
        {0, false, 2,
         "Debe señalar en la ventana de sectores el correspondiente al bien a importar|" + ui::applicationTitle()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.grid);
        empty("sector");
        if (c.sectorRows)
            sector(1, "X"), sector(2, "V");
        open("3", c.combo1), tabOf(c.grid);
        focus(c.grid == 2 ? sectors(0) : sectors(1));
        boxes_->clear(), focus(goods(c.grid));
        EXPECT_EQ(shown(), c.box);
        boxes_->clear(), cell(goods(c.grid), 0, 3);
        key(Qt::Key_F4), key(Qt::Key_Escape);
        EXPECT_EQ(shown(), "");
    }
}

// For an extension, dbganexo1 takes goods only under sector "X"; it opens
// enabled whatever sector the rows put first.
TEST_F(AnexosTest, ExtensionEnablesAnexo1OnlyUnderX) {
    sector(1, "IIa"), sector(1, "X");
    open("3", 1);
    EXPECT_TRUE(goods(0)->isEnabled());
    ui::DataGrid* s = sectors(1);
    focus(s);  // on IIa
    EXPECT_FALSE(goods(0)->isEnabled());
    cell(s, 1, 0);
    EXPECT_TRUE(goods(0)->isEnabled());  // X
    typeRow(goods(0), {{3, "12345678"}});
    cell(s, 0, 0);  // back to IIa while the goods row waits
    EXPECT_FALSE(goods(0)->isEnabled());
    boxes_->clear();
    EXPECT_FALSE(goods(0)->commitRow());
    EXPECT_EQ(boxes_->texts(), QStringList{QStringLiteral("No debe capturar fraccones para el sector indicado")});

    // No sector yet: a click into the goods grid runs HabilitaAnexo1, then
    // the message titled for it (the focus then moves on to dbganexo2, which
    // has its say).
    empty("sector"), open("3", 1);
    ASSERT_TRUE(goods(0)->isEnabled());
    QTest::mouseClick(goods(0)->viewport(), Qt::LeftButton, {},
                      goods(0)->visualRect(goods(0)->model()->index(0, 3)).center());
    settle();
    EXPECT_FALSE(goods(0)->isEnabled());
    EXPECT_TRUE(
        shown().startsWith(QString::fromUtf8(kNoSector) + QString::fromUtf8("|Error, no señalo el sector|critical")))
        << shown().toStdString();
}

TEST_F(AnexosTest, IndirectProducerRfcRefused) {
    open(), tab(2);
    ui::DataGrid* g = win_->dbgProdAbas;
    typeRow(g, {{1, "proveedor sa"}, {2, "abc850101xy1"}}), boxes_->clear();
    EXPECT_FALSE(g->commitRow());
    EXPECT_EQ(shown(), "El RFC necesita un espacio al inicio|" + ui::applicationTitle());
    EXPECT_EQ(g->columnText(1) + g->columnText(2), "PROVEEDOR SAABC850101XY1");
    EXPECT_TRUE(column("prodabas", "NOMBRE").empty());
}

}  // namespace
}  // namespace anexostest
