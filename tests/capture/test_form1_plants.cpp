// The plants grid: key rules per column, Enter as Tab, and the postal-code
// check before a row reaches catdirpl.
#include "form1_fixture.h"

namespace form1test {
namespace {

const QString kCpMessage = QStringLiteral("El Codigo postal no puede ser mayor a 5 digitos");

class PlantsTest : public Form1Test {
protected:
    void SetUp() override {
        Form1Test::SetUp();
        writeDatoprov(filledRecord());
        // One plant already there: the add line is row 1, left upwards.
        store::DbfTable::open(dir_ / "catdirpl.dbf")
            ->append({Value("PRIMERA 1"), Value("01000"), Value("SAN ANGEL"), Value("CDMX"), Value("ALVARO OBREGON"),
                      Value("MEXICO"), Value("5550"), Value("5551")});
        open();
        form_->Habilita(true);
        form_->SSTab1()->setCurrentIndex(1);
        grid_ = form_->dbgplantas();
        focus(grid_);
        grid_->setCurrentIndex(grid_->model()->index(1, 0));
        settle();
    }
    // Keys go where the focus is: the grid, then the cell editor it opens.
    void key(int k) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(k));
        settle();
    }
    // Types each text into the next cells of the row, Tab between them.
    void typeRow(const QStringList& cells) {
        for (int i = 0; i < cells.size(); ++i) {
            if (i > 0) key(Qt::Key_Tab);
            for (QChar ch : cells[i]) typeChar(QApplication::focusWidget(), ch);
        }
    }
    // The rows written by the test, after the seeded one.
    std::vector<store::Row> added() const {
        auto all = rows("catdirpl");
        all.erase(all.begin());
        return all;
    }
    ui::DataGrid* grid_ = nullptr;
};

// Enter moves on in the text columns only; Tab elsewhere.
TEST_F(PlantsTest, NewRowLeftWithUpIsWrittenThroughTheCellRules) {
    typeRow({"av juarez 10", "06600", "centro"});
    key(Qt::Key_Return);
    ASSERT_EQ(grid_->currentColumn(), 3);
    typeRow({"cdmx", "cuauhtemoc", "mexico", "55-12a34"});
    key(Qt::Key_Return);
    ASSERT_EQ(grid_->currentColumn(), 6);
    EXPECT_TRUE(added().empty());  // nothing written while the row is not left
    key(Qt::Key_Tab);
    typeRow({"5b678"});
    key(Qt::Key_Up);
    EXPECT_EQ(added(), (std::vector<store::Row>{store::Row{Value("AV JUAREZ 10"), Value("06600"), Value("CENTRO"), Value("CDMX"),
                                   Value("CUAUHTEMOC"), Value("MEXICO"), Value("551234"), Value("5678")}}));
    EXPECT_TRUE(boxes_->shown().empty());
}

// Six postal digits left from their column: the message, the row kept to be corrected.
TEST_F(PlantsTest, SixPostalDigitsLeftFromTheirColumnAreRefused) {
    typeRow({"calle 1", "123456"});
    ASSERT_EQ(grid_->currentColumn(), 1);
    key(Qt::Key_Up);
    ASSERT_EQ(boxes_->shown().size(), 1u);
    const ui::ShownBox& b = boxes_->shown()[0];
    EXPECT_EQ(std::tie(b.text, b.title, b.icon, b.buttons),
              std::make_tuple(kCpMessage, QStringLiteral("Error"), ui::Icon::Critical, ui::Buttons::Ok));
    EXPECT_TRUE(added().empty());
    EXPECT_EQ(std::make_pair(grid_->currentRow(), grid_->columnText(1)), std::make_pair(1, QStringLiteral("123456")));
    key(Qt::Key_Backspace);
    key(Qt::Key_Up);
    ASSERT_EQ(added().size(), 1u);
    EXPECT_EQ(added()[0].at(1).toString(), "12345");
}

// The table cannot hold six digits: rather than a row that silently refuses
// to be written, the message comes from any column.
TEST_F(PlantsTest, SixPostalDigitsFromAnotherColumnAreRefusedToo) {
    typeRow({"calle 1", "123456", "centro"});
    key(Qt::Key_Up);
    EXPECT_EQ(boxes_->texts(), QStringList{kCpMessage});
    EXPECT_TRUE(added().empty() && grid_->rowDirty());
}

} // namespace
} // namespace form1test
