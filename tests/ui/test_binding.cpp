// Bound controls over a real table: a save writes them with the field's type,
// a re-read shows the row again.
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

using store::Value;

class BindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        dir = std::filesystem::path(tmp.path().toStdString());
        using store::FieldType;
        store::DbfTable::create(dir / "datoprov.dbf", {{"RFC", FieldType::Character, 13, 0}, {"NOMBRE", FieldType::Character, 25, 0},
                                                       {"PROG1P", FieldType::Numeric, 4, 0}, {"ACTIVO", FieldType::Logical, 1, 0}});
        db = std::make_unique<store::Database>(dir);
        src = std::make_unique<store::DataSource>(*db, "FoxPro 2.5;", "datoprov");
        src->refresh();
        rfc.setMask(QStringLiteral("&&&&999999aaa"));
        binding = std::make_unique<ui::Binding>(*src);
        for (auto [w, field] : {std::pair<QWidget*, const char*>{&rfc, "RFC"}, {&nombre, "NOMBRE"}, {&prog, "PROG1P"}, {&activo, "ACTIVO"}})
            binding->bind(w, field);
        src->addNew();  // the listener shows the blank new row
    }
    store::Row onDisk() { return store::DbfTable::open(dir / "datoprov.dbf")->read(0); }

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
    EXPECT_EQ(rfc.text(), QString(13, ' '));
    rfc.setMaskedText(QStringLiteral(" ABC800101XY1"));
    nombre.setText(QStringLiteral("JOSÉ"));
    prog.setText(QStringLiteral("2024"));
    activo.setChecked(true);
    binding->save();
    EXPECT_EQ(onDisk(), (store::Row{Value(" ABC800101XY1"), Value("JOSÉ"), Value(2024), Value(true)}));
    rfc.setMaskedText({});
    nombre.clear();
    src->refresh();
    EXPECT_EQ(rfc.text(), QStringLiteral(" ABC800101XY1"));  // the leading blank is kept
    EXPECT_TRUE(nombre.text() == "JOSÉ" && prog.text() == "2024" && activo.isChecked());
    // A blank number is null, one that is not a number is refused; writing a
    // later control does not undo an earlier one through a re-read.
    src->edit();
    prog.setText(QStringLiteral("  "));
    binding->save();
    EXPECT_TRUE(onDisk()[2].isNull());
    src->edit();
    prog.setText(QStringLiteral("12a"));
    EXPECT_THROW(binding->write(), store::StoreError);
    prog.setText(QStringLiteral("7"));
    nombre.setText(QStringLiteral("ANA"));
    binding->save();
    EXPECT_EQ(onDisk()[1], Value("ANA"));
    EXPECT_EQ(onDisk()[2], Value(7));
}

TEST(FieldValue, ConvertsTextByFieldType) {
    const store::FieldDef num{"N", store::FieldType::Numeric, 6, 2}, date{"D", store::FieldType::Date, 8, 0};
    EXPECT_EQ(ui::fieldValue(num, " 14 "), Value(14));
    EXPECT_EQ(ui::fieldValue(num, "2.5"), Value(2.5));
    EXPECT_THROW(ui::fieldValue(num, "1,5"), store::StoreError);
    EXPECT_EQ(ui::fieldValue({"C", store::FieldType::Character, 10, 0}, " A "), Value(" A "));
    EXPECT_EQ(ui::fieldValue(date, "20240131"), Value(store::Date{2024, 1, 31}));
    EXPECT_THROW(ui::fieldValue(date, "2024"), store::StoreError);
}

} // namespace
