// The plants grid of the main window: key rules per column, Enter as Tab, and
// the postal-code check before a row reaches catdirpl.
#include "form1_fixture.h"

#include <QHeaderView>

namespace form1test {
namespace {

const QString kCpMessage = QStringLiteral("El Codigo postal no puede ser mayor a 5 digitos");

class PlantsTest : public Form1Test {
protected:
    void SetUp() override {
        Form1Test::SetUp();
        writeDatoprov(filledRecord());
        // One plant already there: the add line is row 1, left upwards.
        auto plants = store::DbfTable::open(dir_ / "catdirpl.dbf");
        plants->append({store::Value("PRIMERA 1"), store::Value("01000"), store::Value("SAN ANGEL"),
                        store::Value("CDMX"), store::Value("ALVARO OBREGON"), store::Value("MEXICO"),
                        store::Value("5550"), store::Value("5551")});
        plants.reset();
        open();
        form_->Habilita(true);
        form_->SSTab1()->setCurrentIndex(1);
        grid_ = form_->dbgplantas();
        ASSERT_NE(grid_, nullptr);
        focus(grid_);
        grid_->setCurrentIndex(grid_->model()->index(1, 0));
        settle();
    }

    // Keys go where the focus is: the grid, then the cell editor it opens.
    void key(int k) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(k));
        settle();
    }
    void typeCells(const QString& text) {
        for (QChar ch : text) {
            typeChar(QApplication::focusWidget(), ch);
            settle();
        }
    }
    // Types each text into the next cells of the row, Tab between them.
    void typeRow(const QStringList& cells) {
        for (int i = 0; i < cells.size(); ++i) {
            if (i > 0) key(Qt::Key_Tab);
            typeCells(cells[i]);
        }
    }

    // The rows written by the test, after the seeded one.
    std::vector<store::Row> added() const {
        auto rows = plantRows();
        rows.erase(rows.begin());
        return rows;
    }

    ui::DataGrid* grid_ = nullptr;
};

TEST_F(PlantsTest, ColumnsHaveTheirCaptions) {
    const QStringList expected = {"CALLE Y NUM.", "CP", "COLONIA", "ESTADO", "MUNICIPIO/DEL", "CIUDAD", "TEL", "FAX"};
    ASSERT_EQ(grid_->model()->columnCount(), expected.size());
    for (int c = 0; c < expected.size(); ++c)
        EXPECT_EQ(grid_->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), expected[c]);
}

TEST_F(PlantsTest, NewRowLeftWithUpIsWritten) {
    typeRow({"av juarez 10", "06600", "centro", "cdmx", "cuauhtemoc", "mexico", "55-12a34", "5b678"});
    key(Qt::Key_Up);
    const auto rows = added();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at(0).toString(), "AV JUAREZ 10");
    EXPECT_EQ(rows[0].at(1).toString(), "06600");
    EXPECT_EQ(rows[0].at(2).toString(), "CENTRO");
    EXPECT_EQ(rows[0].at(4).toString(), "CUAUHTEMOC");
    EXPECT_EQ(rows[0].at(6).toString(), "551234");
    EXPECT_EQ(rows[0].at(7).toString(), "5678");
    EXPECT_TRUE(boxes_->shown().empty());
}

TEST_F(PlantsTest, LongPostalCodeLeftFromItsColumnIsRefused) {
    typeRow({"calle 1", "123456"});
    ASSERT_EQ(grid_->currentColumn(), 1);
    key(Qt::Key_Up);
    ASSERT_EQ(boxes_->shown().size(), 1u);
    const ui::ShownBox& b = boxes_->shown()[0];
    EXPECT_EQ(b.text, kCpMessage);
    EXPECT_EQ(b.title, QStringLiteral("Error"));
    EXPECT_EQ(b.icon, ui::Icon::Critical);
    EXPECT_EQ(b.buttons, ui::Buttons::Ok);
    EXPECT_TRUE(added().empty());
    // The row stays in editing with what was typed, ready to be corrected.
    EXPECT_EQ(grid_->currentRow(), 1);
    EXPECT_TRUE(grid_->rowDirty());
    EXPECT_EQ(grid_->columnText(1), QStringLiteral("123456"));

    key(Qt::Key_Backspace);
    key(Qt::Key_Up);
    const auto rows = added();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at(1).toString(), "12345");
}

TEST_F(PlantsTest, FivePostalDigitsLeftFromAnotherColumnAreWritten) {
    typeRow({"calle 1", "12345", "centro"});
    ASSERT_EQ(grid_->currentColumn(), 2);
    key(Qt::Key_Up);
    EXPECT_TRUE(boxes_->shown().empty());
    const auto rows = added();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at(1).toString(), "12345");
    EXPECT_EQ(rows[0].at(2).toString(), "CENTRO");
}

// The table cannot hold six digits: rather than a row that silently refuses
// to be written, the operator gets the postal-code message from any column.
TEST_F(PlantsTest, SixPostalDigitsLeftFromAnotherColumnAreRefusedWithTheMessage) {
    typeRow({"calle 1", "123456", "centro"});
    ASSERT_EQ(grid_->currentColumn(), 2);
    key(Qt::Key_Up);
    EXPECT_EQ(boxes_->texts(), QStringList{kCpMessage});
    EXPECT_TRUE(added().empty());
    EXPECT_TRUE(grid_->rowDirty());
}

TEST_F(PlantsTest, EnterMovesOnInTextColumnsOnly) {
    typeRow({"calle", "", "centro"});
    ASSERT_EQ(grid_->currentColumn(), 2);
    key(Qt::Key_Return);
    EXPECT_EQ(grid_->currentColumn(), 3);
    typeRow({"", "", "", "55"});  // Tab on to TEL
    ASSERT_EQ(grid_->currentColumn(), 6);
    key(Qt::Key_Return);
    EXPECT_EQ(grid_->currentColumn(), 6);
    EXPECT_TRUE(added().empty());  // nothing written while the row is not left
}

TEST_F(PlantsTest, EditedRowLeftWithDownIsWritten) {
    grid_->setCurrentIndex(grid_->model()->index(0, 2));
    settle();
    key(Qt::Key_F2);  // edit the cell: its text is selected and typed over
    typeCells(QStringLiteral("tizapan"));
    key(Qt::Key_Down);
    const auto rows = plantRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at(2).toString(), "TIZAPAN");
    EXPECT_TRUE(boxes_->shown().empty());
}

} // namespace
} // namespace form1test
