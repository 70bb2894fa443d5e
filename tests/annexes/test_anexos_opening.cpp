// The annexes window's opening sequence: tabs by programme type, the maquila
// rule, the row sets and pick lists, and an engine error on the way.
#include <QLabel>
#include <algorithm>
#include <set>

#include "anexos_fixture.h"

namespace anexostest {
namespace {

// The type is read from its leading number: " 2" is 2, "12" is neither.
// Ctrl+Tab from a grid turns to the usable tabs only.
TEST_F(AnexosTest, TabsFollowTheProgrammeType) {
    const struct { const char *tipoProg, *enabled; int current; } cases[] = {
        {"1", "101", 0}, {"2", "010", 1}, {" 2", "010", 1}, {"3", "111", 0}, {"12", "111", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tipoProg);
        open({QString::fromUtf8(c.tipoProg), 0, {}, {}});
        QTabWidget* tabs = win_->Anexosf();
        std::string enabled;
        for (int t : {0, 1, 2}) enabled += tabs->isTabEnabled(t) ? '1' : '0';
        EXPECT_EQ(enabled, c.enabled);
        EXPECT_EQ(tabs->currentIndex(), c.current);
        std::set<int> seen;
        for (int i = 0; i < 3; ++i) {
            for (QWidget* w : win_->controls())
                if (qobject_cast<ui::DataGrid*>(w) && w->isVisible()) { focus(w); break; }
            key(Qt::Key_Tab, Qt::ControlModifier), seen.insert(tabs->currentIndex());
        }
        EXPECT_EQ(seen.size(), std::size_t(std::count(enabled.begin(), enabled.end(), '1')));
        for (int t : seen) EXPECT_EQ(enabled[t], '1');
        EXPECT_TRUE(boxes_->shown().empty());
    }
}

TEST_F(AnexosTest, MaquilaProgrammeGrowsTheGoodsGrid) {
    const struct { const char* number; const char* year; bool grows; } cases[] = {
        {"0", "2005", false}, {"12", "", false}, {"  7", "1999", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.number) + " / " + c.year);
        open({QStringLiteral("3"), 0, QString::fromUtf8(c.number), QString::fromUtf8(c.year)});
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
    const struct { int tipo, anexo, bien; const char *sec, *fraccion; } goodsRows[] = {{1, 1, 1, "XV", "22222222"},
        {1, 1, 1, "IIa", "11111111"}, {1, 1, 2, "IIa", "33333333"}, {2, 2, 2, "X", "44444444"}, {1, 2, 2, "X", "55555555"}};
    for (const auto& r : goodsRows)
        append("mercbi", {{"TIPO_PROGR", Value(r.tipo)}, {"ANEXO", Value(r.anexo)}, {"TIPOBIEN", Value(r.bien)},
                          {"IDSECTOR", Value(r.sec)}, {"FRACCION", Value(r.fraccion)}});
    append("prodabas", {{"NOMBRE", Value("PROVEEDOR UNO")}});
    open();
    auto rows = [](ui::DataGrid* g, int column) {  // the add line left out
        QStringList out;
        for (int r = 0; r + 1 < g->model()->rowCount(); ++r) out << g->model()->index(r, column).data().toString();
        return out.join(',');
    };
    EXPECT_EQ(rows(sectors(1), 0) + " / " + rows(sectors(0), 0), "IIa,XV / ,IV,X");
    EXPECT_EQ(rows(goods(0), 3) + " / " + rows(goods(1), 3) + " / " + rows(goods(2), 3), "11111111,22222222 / 33333333 / 44444444");
    EXPECT_EQ(rows(win_->dbgProdAbas(), 1), "PROVEEDOR UNO");
    QString items;
    for (int n = 1; n <= 4; ++n) {
        for (int i = 0; i < win_->List(n)->count(); ++i) items += win_->List(n)->item(i)->text() + " ";
        items += "/ ";
    }
    const QString six = "I II III IV V VI ";
    EXPECT_EQ(items, six + "VII VIII IX X XI XII XIII XIV XV XVI XVII XVIII XIX XX / " + six + "/ " + six + "/ " + six + "/ ");
    EXPECT_EQ(win_->dtssectoresind.recordSource(), "select * from sector where idsector = 2 order by cve_sector ");
    EXPECT_FALSE(win_->loadFailed());
}

// The engine's message ends the sequence; the window stays usable: the grids
// over the missing table take nothing, the others work.
TEST_F(AnexosTest, EngineErrorWhileOpeningDoesNotEndTheWindow) {
    sector(1, "X");
    std::filesystem::remove(dir_ / "mercbi.dbf");
    open();
    EXPECT_TRUE(win_->loadFailed());
    ASSERT_EQ(opening_.size(), 1u);
    EXPECT_NE(opening_[0].text.indexOf(QStringLiteral("mercbi"), 0, Qt::CaseInsensitive), -1);
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

} // namespace
} // namespace anexostest
