// The annexes window's opening sequence: tabs by programme type, pick lists,
// the maquila rule, the row sets, and an engine error on the way.
#include <QLabel>
#include <set>

#include "anexos_fixture.h"

namespace anexostest {
namespace {

// The type is read from its leading number: " 2" is 2, "12" is neither.
const struct { const char* tipoProg; bool anexo1, anexo2, anexo3; int current; } kTabCases[] = {
    {"1", true, false, true, 0}, {"2", false, true, false, 1}, {" 2", false, true, false, 1},
    {"3", true, true, true, 0},   {"12", true, true, true, 0},
};

TEST_F(AnexosTest, TabsFollowTheProgrammeType) {
    for (const auto& c : kTabCases) {
        SCOPED_TRACE(c.tipoProg);
        open({QString::fromUtf8(c.tipoProg), 0, {}, {}});
        QTabWidget* tabs = win_->Anexosf();
        EXPECT_EQ(std::vector<bool>({tabs->isTabEnabled(0), tabs->isTabEnabled(1), tabs->isTabEnabled(2)}),
                  std::vector<bool>({c.anexo1, c.anexo2, c.anexo3}));
        EXPECT_EQ(tabs->currentIndex(), c.current);
        // Ctrl+Tab from a grid turns to the usable tabs only.
        std::set<int> seen;
        for (int i = 0; i < 3; ++i) {
            for (QWidget* w : win_->controls())
                if (qobject_cast<ui::DataGrid*>(w) && w->isVisible()) {
                    focus(w);
                    break;
                }
            key(Qt::Key_Tab, Qt::ControlModifier);
            seen.insert(tabs->currentIndex());
        }
        EXPECT_EQ(seen.size(), std::size_t(c.anexo1 + c.anexo2 + c.anexo3));
        for (int t : seen) EXPECT_TRUE(tabs->isTabEnabled(t));
        EXPECT_TRUE(boxes_->shown().empty());
    }
}

TEST_F(AnexosTest, PickListsHoldTheRomanNumerals) {
    open();
    auto items = [this](int n) {
        QStringList out;
        for (int i = 0; i < win_->List(n)->count(); ++i) out << win_->List(n)->item(i)->text();
        return out.join(' ');
    };
    const QString six = "I II III IV V VI";
    const QString twenty = six + " VII VIII IX X XI XII XIII XIV XV XVI XVII XVIII XIX XX";
    EXPECT_EQ(items(1), twenty);
    for (int n = 2; n <= 4; ++n) EXPECT_EQ(items(n), six) << n;
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
        const int designed = win_->twipsToPixelsY(win_->entry(grid)->height);
        EXPECT_EQ(bar->height() + grid->height(), c.grows ? win_->twipsToPixelsY(4000) : designed);
        EXPECT_EQ(win_->control(QStringLiteral("Label19"), 2)->isVisible(), !c.grows);
        // Grown or not, the goods grids do not cover one another.
        EXPECT_FALSE(grid->geometry().intersects(goods(1)->geometry()));
    }
}

TEST_F(AnexosTest, GridsShowTheirRowSets) {
    sector(1, "XV");
    sector(2, "X");
    append("sector", {{"IDSECTOR", Value(1)}, {"DESCRIPCIO", Value("SIN CLAVE")}});  // left out of the direct list
    sector(1, "IIa");
    sector(2, "IV");
    append("sector", {{"IDSECTOR", Value(2)}, {"DESCRIPCIO", Value("SIN CLAVE")}});  // kept in the indirect list
    auto goodsRow = [&](int tipo, int anexo, int bien, const char* sec, const char* fraccion) {
        append("mercbi", {{"TIPO_PROGR", Value(tipo)}, {"ANEXO", Value(anexo)}, {"TIPOBIEN", Value(bien)},
                          {"IDSECTOR", Value(sec)}, {"FRACCION", Value(fraccion)}});
    };
    goodsRow(1, 1, 1, "XV", "22222222");
    goodsRow(1, 1, 1, "IIa", "11111111");
    goodsRow(1, 1, 2, "IIa", "33333333");
    goodsRow(2, 2, 2, "X", "44444444");
    goodsRow(1, 2, 2, "X", "55555555");  // annex 2 under the direct type: in no grid
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
    cell(goods(1), 0, 3);
    keys(QStringLiteral("12345678"));
    key(Qt::Key_Down);
    EXPECT_FALSE(goods(1)->rowDirty());
    cell(sectors(1), 1, 0);
    keys(QStringLiteral("v"));
    key(Qt::Key_Tab);
    keys(QStringLiteral("textiles"));
    key(Qt::Key_Up);
    EXPECT_EQ(column("sector", "CVE_SECTOR"), (std::vector<std::string>{"X", "V"}));
    EXPECT_TRUE(boxes_->shown().empty());
}

} // namespace
} // namespace anexostest
