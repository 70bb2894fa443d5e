// The annexes window's data: opening (tabs, maquila, an engine error) and the rows written.
#include "anexos_fixture.h"

namespace anexostest {
namespace {

// The type is read from its leading number: " 2" is 2, "12" is neither.
TEST_F(AnexosTest, TabsFollowTheProgrammeTypeAndCtrlTabSkipsTheOthers) {
    const std::tuple<const char*, std::string, int> cases[] = {{"1", "101", 0}, {" 2", "010", 1}, {"12", "111", 0}};
    for (const auto& [tipoProg, enabled, current] : cases) {
        SCOPED_TRACE(tipoProg);
        open(tipoProg);
        QTabWidget* tabs = win_->Anexosf;
        std::string on;
        for (int t : {0, 1, 2})
            on += tabs->isTabEnabled(t) ? '1' : '0';
        EXPECT_EQ(on, enabled);
        EXPECT_EQ(tabs->currentIndex(), current);
        EXPECT_TRUE(boxes_->shown().empty());
        if (enabled == "101") {  // from inside a grid Ctrl+Tab turns to the next page the operator may use
            cell(goods(0), 0, 3), key(Qt::Key_Tab, Qt::ControlModifier);
            EXPECT_EQ(tabs->currentIndex(), 2);
            focus(win_->dbgProdAbas), key(Qt::Key_Tab, Qt::ControlModifier);
            EXPECT_EQ(tabs->currentIndex(), 0);
        }
    }
}

TEST_F(AnexosTest, MaquilaProgrammeGrowsTheGoodsGrid) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"0", "2005", false}, {"12", "", false}, {"  7", "1999", true}};
    for (const auto& [number, year, grows] : cases) {
        SCOPED_TRACE(std::string(number) + " / " + year);
        open("3", 0, number, year);
        EXPECT_EQ(win_->control(QStringLiteral("Label19"), 2)->isVisible(), !grows);
        EXPECT_FALSE(goods(0)->geometry().intersects(goods(1)->geometry()));  // grown or not, no grid covers another
    }
}

// The engine's message ends the opening; the grids over the missing table take nothing, the others work.
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
    // A sub-item letter goes in lower case, an I extends the numeral.
    const char* kXvFaults = "El Sector no puede ser XV falta el inciso a o b|Error|critical\n"
                            "La descripción no puede quedar vacia|Error|critical";
    const std::tuple<int, const char*, const char*, const char*, std::vector<std::string>> cases[] = {
        {0, "iic", "metales", "", {"IIc"}},
        {1, "xvi", "papel", "", {"XVI"}},
        {1, "xv", "", kXvFaults, {}},
    };
    for (const auto& [grid, typed, descripcion, messages, written] : cases) {
        SCOPED_TRACE(typed);
        empty("sector"), open(), tab(grid == 1 ? 0 : 1);
        ui::DataGrid* g = sectors(grid);
        typeRow(g, {{0, typed}, {1, descripcion}});
        key(Qt::Key_Down);
        EXPECT_EQ(shown(), QString::fromUtf8(messages));
        EXPECT_EQ(column("sector", "CVE_SECTOR"), written);
        const std::string idsector = grid == 1 ? "1" : "2";
        EXPECT_EQ(column("sector", "IDSECTOR"), written.empty() ? std::vector<std::string>{} : std::vector{idsector});
        EXPECT_EQ(g->rowDirty(), written.empty());  // a refused row is kept, its type set all the same
        if (written.empty()) {
            EXPECT_EQ(g->columnText(2).toStdString(), idsector);
        }
    }
}

// A short fraction is refused and stays; corrected, it takes its grid's codes and its tab's current sector key.
TEST_F(AnexosTest, GoodsRowsAreCheckedAndTakeTheirCodes) {
    const QString kCritical = QString::fromUtf8("La Fracción debe ser de 8 números|Error|critical");
    const QString kPlain = QString::fromUtf8("La fraccion debe ser de 8 números|") + ui::applicationTitle();
    // The grid, sector rows there, the numeral picked; TIPO_PROGR, ANEXO, IDSECTOR, TIPOBIEN.
    const std::tuple<int, bool, const char*, std::vector<std::string>> cases[] = {
        {0, true, "VI", {"1", "1", "IIa", "1", "87654321"}},
        {2, true, "III", {"2", "2", "X", "2", "87654321"}},
        {1, false, "II", {"1", "1", "", "2", "87654321"}},
    };
    for (const auto& [grid, withSectors, picked, row] : cases) {
        SCOPED_TRACE(grid);
        empty("mercbi"), empty("sector");
        if (withSectors)
            sector(1, "IIa", "DIRECTO"), sector(2, "X", "INDIRECTO");
        open(), tabOf(grid);
        ui::DataGrid* g = goods(grid);
        if (picked) {
            cell(g, 0, 2), key(Qt::Key_F4);
            while (win_->pickList(grid)->currentItem()->text() != QString::fromUtf8(picked))
                key(Qt::Key_Down);
            key(Qt::Key_Return);
        }
        typeRow(g, {{3, "1234567"}}), boxes_->clear();  // description left empty
        EXPECT_FALSE(g->commitRow());
        EXPECT_EQ(shown(), grid == 2 ? kPlain : kCritical);
        EXPECT_EQ(g->columnText(3), QStringLiteral("1234567"));
        EXPECT_TRUE(column("mercbi", "FRACCION").empty());
        typeRow(g, {{3, "87654321"}}), boxes_->clear();
        EXPECT_TRUE(g->commitRow());
        std::vector<std::string> got;
        for (const char* f : {"TIPO_PROGR", "ANEXO", "IDSECTOR", "TIPOBIEN", "FRACCION"})
            got.push_back(column("mercbi", f).at(0));
        EXPECT_EQ(got, row);
        EXPECT_EQ(shown(), "");
    }
}

// Entering a goods grid with no sector only informs; its pick list and back is not entering again.
TEST_F(AnexosTest, NoSectorMessageOnEnteringAGoodsGrid) {
    // Combo1, the grid (no sector rows); the box.
    const std::tuple<int, int, QString> cases[] = {
        {0, 0, ""},
        {1, 1, QString::fromUtf8(kNoSector) + "|Error|critical"},
        {0, 2,
         "Debe señalar en la ventana de sectores el correspondiente al bien a importar|" + ui::applicationTitle()}};
    for (const auto& [combo1, grid, box] : cases) {
        SCOPED_TRACE(grid);
        open("3", combo1), tabOf(grid);
        focus(grid == 2 ? sectors(0) : sectors(1));
        boxes_->clear(), focus(goods(grid));
        EXPECT_EQ(shown(), box);
        boxes_->clear(), cell(goods(grid), 0, 3);
        key(Qt::Key_F4), key(Qt::Key_Escape);
        EXPECT_EQ(shown(), "");
    }
}

// For an extension dbganexo1 takes goods only under sector "X"; it opens enabled whatever comes first.
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

    // No sector yet: a click into the grid runs HabilitaAnexo1, then its message (dbganexo2 has its say after).
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

}  // namespace
}  // namespace anexostest
