#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <filesystem>

#include "store/database.h"
#include "store/datasource.h"
#include "store/dbf.h"
#include "ui/binding.h"
#include "ui/maskededit.h"

namespace {

class BindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        dir = std::filesystem::path(tmp.path().toStdString());
        store::DbfTable::create(dir / "datoprov.dbf", {{"RFC", store::FieldType::Character, 13, 0},
                                                       {"NOMBRE", store::FieldType::Character, 25, 0},
                                                       {"PROG1P", store::FieldType::Numeric, 4, 0},
                                                       {"ACTIVO", store::FieldType::Logical, 1, 0}});
        db = std::make_unique<store::Database>(dir);
        src = std::make_unique<store::DataSource>(*db, "FoxPro 2.5;", "datoprov");
        src->refresh();
        rfc.setMask(QStringLiteral("&&&&999999aaa"));
        binding = std::make_unique<ui::Binding>(*src);
        binding->bind(&rfc, "RFC");
        binding->bind(&nombre, "NOMBRE");
        binding->bind(&prog, "PROG1P");
        binding->bind(&activo, "ACTIVO");
    }
    store::Row onDisk(std::size_t record) {
        return store::DbfTable::open(dir / "datoprov.dbf")->read(record);
    }

    QTemporaryDir tmp;
    std::filesystem::path dir;
    std::unique_ptr<store::Database> db;
    std::unique_ptr<store::DataSource> src;
    ui::MaskedEdit rfc;
    QLineEdit nombre, prog;
    QCheckBox activo;
    std::unique_ptr<ui::Binding> binding;
};

TEST_F(BindingTest, SavesTheControlsAndShowsTheRowAgain) {
    src->addNew();  // the listener shows the blank new row
    EXPECT_EQ(rfc.text(), QString(13, ' '));
    rfc.setMaskedText(QStringLiteral(" ABC800101XY1"));
    nombre.setText(QStringLiteral("JOSÉ"));
    prog.setText(QStringLiteral("2024"));
    activo.setChecked(true);
    binding->save();
    const store::Row row = onDisk(0);
    EXPECT_EQ(row[0], store::Value(" ABC800101XY1"));  // the leading blank is kept
    EXPECT_EQ(row[1], store::Value("JOSÉ"));
    EXPECT_EQ(row[2], store::Value(2024));
    EXPECT_EQ(row[3], store::Value(true));

    // Controls follow the data source: blank for no row, the row after a re-read.
    rfc.setMaskedText({});
    nombre.clear();
    src->refresh();
    EXPECT_EQ(rfc.text(), QStringLiteral(" ABC800101XY1"));
    EXPECT_EQ(rfc.maskedText().size(), 13);
    EXPECT_EQ(nombre.text(), QStringLiteral("JOSÉ"));
    EXPECT_EQ(prog.text(), QStringLiteral("2024"));
    EXPECT_TRUE(activo.isChecked());
}

TEST_F(BindingTest, NumberFieldsTakeTheTextsNumberOrNull) {
    src->addNew();
    prog.setText(QStringLiteral("  "));
    binding->save();
    EXPECT_TRUE(onDisk(0)[2].isNull());
    src->refresh();
    src->edit();
    prog.setText(QStringLiteral("12a"));
    EXPECT_THROW(binding->write(), store::StoreError);
    // Writing a later control does not undo an earlier one through a re-read.
    prog.setText(QStringLiteral("7"));
    nombre.setText(QStringLiteral("ANA"));
    binding->save();
    EXPECT_EQ(onDisk(0)[1], store::Value("ANA"));
    EXPECT_EQ(onDisk(0)[2], store::Value(7));
}

TEST(FieldValue, ConvertsTextByFieldType) {
    const store::FieldDef num{"N", store::FieldType::Numeric, 6, 2};
    const store::FieldDef chr{"C", store::FieldType::Character, 10, 0};
    const store::FieldDef date{"D", store::FieldType::Date, 8, 0};
    EXPECT_EQ(ui::fieldValue(num, " 14 "), store::Value(14));
    EXPECT_EQ(ui::fieldValue(num, "2.5"), store::Value(2.5));
    EXPECT_TRUE(ui::fieldValue(num, "").isNull());
    EXPECT_THROW(ui::fieldValue(num, "1,5"), store::StoreError);
    EXPECT_EQ(ui::fieldValue(chr, " A "), store::Value(" A "));
    EXPECT_EQ(ui::fieldValue(date, "20240131"), store::Value(store::Date{2024, 1, 31}));
    EXPECT_THROW(ui::fieldValue(date, "2024"), store::StoreError);
}

} // namespace
