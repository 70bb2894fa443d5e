// The plants grid of the main window: key rules per column, Enter as Tab, and
// the postal-code check before a row reaches catdirpl.
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
            ->append({store::Value("PRIMERA 1"), store::Value("01000"), store::Value("SAN ANGEL"), store::Value("CDMX"),
                      store::Value("ALVARO OBREGON"), store::Value("MEXICO"), store::Value("5550"), store::Value("5551")});
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
            for (QChar ch : cells[i]) {
                typeChar(QApplication::focusWidget(), ch);
                settle();
            }
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

TEST_F(PlantsTest, NewRowLeftWithUpIsWrittenThroughTheCellRules) {
    typeRow({"av juarez 10", "06600", "centro", "cdmx", "cuauhtemoc", "mexico", "55-12a34", "5b678"});
    key(Qt::Key_Up);
    const auto rows = added();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (store::Row{store::Value("AV JUAREZ 10"), store::Value("06600"), store::Value("CENTRO"),
                                   store::Value("CDMX"), store::Value("CUAUHTEMOC"), store::Value("MEXICO"),
                                   store::Value("551234"), store::Value("5678")}));
    EXPECT_TRUE(boxes_->shown().empty());
}

// Six postal digits left from their column: the message, the row kept in
// editing to be corrected, then written.
TEST_F(PlantsTest, SixPostalDigitsLeftFromTheirColumnAreRefused) {
    typeRow({"calle 1", "123456"});
    ASSERT_EQ(grid_->currentColumn(), 1);
    key(Qt::Key_Up);
    ASSERT_EQ(boxes_->shown().size(), 1u);
    const ui::ShownBox& b = boxes_->shown()[0];
    EXPECT_EQ(std::tie(b.text, b.title, b.icon, b.buttons),
              std::make_tuple(kCpMessage, QStringLiteral("Error"), ui::Icon::Critical, ui::Buttons::Ok));
    EXPECT_TRUE(added().empty());
    EXPECT_EQ(grid_->currentRow(), 1);
    EXPECT_EQ(grid_->columnText(1), QStringLiteral("123456"));
    key(Qt::Key_Backspace);
    key(Qt::Key_Up);
    ASSERT_EQ(added().size(), 1u);
    EXPECT_EQ(added()[0].at(1).toString(), "12345");
}

// From another column five digits are written. The table cannot hold six:
// rather than a row that silently refuses to be written, the operator gets
// the postal-code message from any column.
class PostalCodeFromAnotherColumn : public PlantsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(PostalCodeFromAnotherColumn, FiveWrittenSixRefused) {
    const QString cp = QString::fromUtf8(GetParam());
    typeRow({"calle 1", cp, "centro"});
    ASSERT_EQ(grid_->currentColumn(), 2);
    key(Qt::Key_Up);
    const bool refused = cp.size() > 5;
    EXPECT_EQ(boxes_->texts(), refused ? QStringList{kCpMessage} : QStringList{});
    ASSERT_EQ(added().size(), refused ? 0u : 1u);
    if (!refused) EXPECT_EQ(added()[0].at(1).toString(), cp.toStdString());
    EXPECT_EQ(grid_->rowDirty(), refused);
}

INSTANTIATE_TEST_SUITE_P(Cases, PostalCodeFromAnotherColumn, ::testing::Values("12345", "123456"));

TEST_F(PlantsTest, EnterMovesOnInTextColumnsOnly) {
    typeRow({"calle", "", "centro"});
    key(Qt::Key_Return);
    EXPECT_EQ(grid_->currentColumn(), 3);
    typeRow({"", "", "", "55"});  // Tab on to TEL
    ASSERT_EQ(grid_->currentColumn(), 6);
    key(Qt::Key_Return);
    EXPECT_EQ(grid_->currentColumn(), 6);
    EXPECT_TRUE(added().empty());  // nothing written while the row is not left
}

} // namespace
} // namespace form1test
