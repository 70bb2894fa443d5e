// The data grid over a real table, with Qt's model tester watching the model in every test.
#include <QAbstractItemModelTester>
#include <QLineEdit>

#include "store/datasource.h"
#include "ui/datagrid.h"
#include "ui/keys.h"
#include "ui_test_support.h"

namespace {

using Column = std::vector<std::string>;

// Rules made of what each test gives; failed writes are kept.
struct TestRules : ui::GridRules {
    std::function<int(int, int)> key;
    std::function<bool(ui::PendingRow&)> check;
    QStringList errors;
    int filterKey(int column, int code) override { return key ? key(column, code) : code; }
    bool checkRow(ui::PendingRow& row) override { return check ? check(row) : true; }
    void writeFailed(const QString& error) override { errors << error; }
};

// A plants-like table with two rows, in a temporary data directory.
class DataGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        using store::Value, store::FieldType;
        store::DbfTable::createWithRows(
            dir / "catdirpl.dbf",
            {{"CALLE", FieldType::Character, 40, 0},
             {"CP", FieldType::Character, 5, 0},
             {"TEL", FieldType::Numeric, 10, 0}},
            {{Value("REFORMA 10"), Value("06600"), Value()}, {Value("JUAREZ 5"), Value("06600"), Value()}});
        db = std::make_unique<store::Database>(dir);
        src = std::make_unique<store::DataSource>(*db, "dBASE III;", "catdirpl");
        src->refresh();
        grid.setColumns({{"CALLE Y NUM.", "CALLE"}, {"CP", "CP"}, {"TEL", "TEL"}});
        grid.setDataSource(src.get());
        grid.setRules(&rules);
        tester = std::make_unique<QAbstractItemModelTester>(grid.model(),
                                                            QAbstractItemModelTester::FailureReportingMode::Fatal);
        grid.resize(600, 300);
        grid.show();
        grid.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
        grid.setFocus();
        grid.setCurrentIndex(grid.model()->index(0, 0));
    }

    // What the file holds now, read afresh from the disk.
    Column fileColumn(std::size_t field) {
        auto t = store::DbfTable::open(dir / "catdirpl.dbf");
        Column out;
        for (std::size_t r = 0; r < t->recordCount(); ++r)
            if (!t->isDeleted(r))
                out.push_back(t->read(r, field).toString());
        return out;
    }
    // Types into whatever has the focus: the grid, then the editor it opens; '\t' is Tab.
    void type(const QString& text) {
        for (QChar c : text)
            c == u'\t' ? key(Qt::Key_Tab) : uitest::type(QApplication::focusWidget(), QString(c));
    }
    void key(int k) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(k)); }
    QLineEdit* editor() { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }

    testsupport::ScriptedBoxes boxes;
    QTemporaryDir tmp;
    std::filesystem::path dir = tmp.path().toStdString();
    std::unique_ptr<store::Database> db;
    std::unique_ptr<store::DataSource> src;
    TestRules rules;
    ui::DataGrid grid;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

// Escape in the editor undoes the cell (the row: the plants grid's damage test).
TEST_F(DataGridTest, EditedRowIsWrittenOnlyWhenLeft) {
    type("AV. CENTRAL\t99999");  // another cell of the same row: still buffered
    key(Qt::Key_Escape);
    EXPECT_TRUE(grid.columnText(1) == "06600" && grid.rowDirty());
    EXPECT_EQ(grid.model()->headerData(0, Qt::Vertical).toString(), QStringLiteral("\u270E"));
    EXPECT_EQ(fileColumn(0), (Column{"REFORMA 10", "JUAREZ 5"}));
    key(Qt::Key_Down);
    EXPECT_TRUE(grid.currentRow() == 1 && !grid.rowDirty());
    EXPECT_EQ(fileColumn(0), (Column{"AV. CENTRAL", "JUAREZ 5"}));
    EXPECT_EQ(fileColumn(1), (Column{"06600", "06600"}));
}

// A refused row keeps what was typed; a passing one takes and shows the fields its check sets.
TEST_F(DataGridTest, RefusedRowStaysInEditingWithWhatWasTyped) {
    int asked = 0;
    bool refuse = true;
    rules.check = [&](ui::PendingRow& row) {
        ++asked;
        EXPECT_EQ(row.currentColumn(), 1);  // the column the row is left from
        EXPECT_EQ(row.text(1), QStringLiteral("12345"));
        row.set("tel", store::Value(55));
        return !refuse;
    };
    key(Qt::Key_Right);
    type("123456");
    key(Qt::Key_Down);
    EXPECT_TRUE(asked == 1 && grid.currentRow() == 0);
    ASSERT_TRUE(grid.isEditing() && editor());
    EXPECT_EQ(editor()->text(), QStringLiteral("12345"));  // the field's width limits the editor
    // A click on another row is refused the same way.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.model()->index(1, 0)).center());
    uitest::settle();
    EXPECT_TRUE(asked == 2 && grid.currentRow() == 0);
    EXPECT_EQ(grid.columnText(1), QStringLiteral("12345"));
    EXPECT_EQ(fileColumn(1), (Column{"06600", "06600"}));
    refuse = false;
    EXPECT_TRUE(grid.commitRow());
    EXPECT_EQ(fileColumn(1), (Column{"12345", "06600"}));
    EXPECT_EQ(fileColumn(2), (Column{"55", ""}));
    EXPECT_EQ(grid.columnText(2), QStringLiteral("55"));
}

// Tab past the last cell of the add line writes it.
TEST_F(DataGridTest, AddLineCreatesARow) {
    EXPECT_EQ(grid.model()->headerData(2, Qt::Vertical).toString(), QStringLiteral("*"));
    grid.setCurrentIndex(grid.model()->index(2, 0));
    type("INSURGENTES 1\t01000\t55");
    EXPECT_EQ(grid.model()->rowCount(), 3);
    key(Qt::Key_Tab);
    EXPECT_EQ(fileColumn(0), (Column{"REFORMA 10", "JUAREZ 5", "INSURGENTES 1"}));
    EXPECT_EQ(fileColumn(1), (Column{"06600", "06600", "01000"}));
    EXPECT_TRUE(grid.currentRow() == 3 && grid.currentColumn() == 0);  // on the new add line
    EXPECT_EQ(grid.model()->rowCount(), 4);
}

TEST_F(DataGridTest, FailedWriteIsToldAndKeepsTheRow) {
    grid.setCurrentIndex(grid.model()->index(0, 2));
    type("ABC");  // not a number for TEL
    key(Qt::Key_Down);
    EXPECT_EQ(rules.errors, boxes->texts());  // the engine's message, shown once
    EXPECT_EQ(rules.errors.size(), 1);
    EXPECT_TRUE(grid.currentRow() == 0 && grid.rowDirty());
    EXPECT_EQ(src->editMode(), store::EditMode::None);  // the data source's buffer is not left behind
    EXPECT_EQ(fileColumn(2), (Column{"", ""}));
}

// The window's key pipeline, then the rules' key filter; a key the filter swallows opens no editor.
TEST_F(DataGridTest, KeyPipelineThenTheRulesKeyFilter) {
    ui::KeyPipeline keys(&grid);
    keys.setWindowFilter([](int code) { return QChar(char16_t(code)).toUpper().unicode(); });
    int seen = 0;
    rules.key = [&](int column, int code) { return ++seen, column == 0 ? code : uitest::digitsOnly(code); };
    type(QStringLiteral("calle \u20AC1"));
    EXPECT_EQ(grid.columnText(0), QStringLiteral("CALLE 1"));
    EXPECT_EQ(seen, 7);  // once per key that reached the cell; the unstorable one never did
    key(Qt::Key_Tab);
    type("9z8");
    EXPECT_EQ(grid.columnText(1), QStringLiteral("98"));
    key(Qt::Key_Tab);
    ASSERT_TRUE(grid.isEditing());  // Tab opens the next cell
    key(Qt::Key_Escape);
    type("x");
    EXPECT_FALSE(grid.isEditing());
    type("5");
    EXPECT_TRUE(grid.isEditing());
    EXPECT_EQ(grid.columnText(2), QStringLiteral("5"));
}

}  // namespace
