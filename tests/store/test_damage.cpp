// A table the data directory finds damaged as it opens or re-reads it: told
// once per reading, written to only once a repair has made it sound.
#include <gtest/gtest.h>

#include "dbf_test_util.h"
#include "store/database.h"

using namespace store;
using namespace dbftest;

namespace {

TEST(Damage, EachDamagedReadingIsToldOnceAndARepairLetsTheTableBeWritten) {
    ScratchDir dir;
    RawDbf raw{.fields = {{"A", 'C', 2}}, .records = {" x1", " x2", " x3", " x4"}, .count = 2};
    writeBytes(dir / "t.dbf", raw.bytes());
    Database db(dir.path());
    std::vector<std::string> told;
    db.setDamageHandler([&](const std::string& table, const fs::path& file, const TableDamage& damage) {
        told.push_back(damageText(table, damage));
        if (told.size() > 1)
            repairTable(file);
    });
    EXPECT_EQ(db.table("t").recordCount(), 4u);  // the rows the count lost are read
    EXPECT_THROW(db.table("T.DBF").append({"y5"}), StoreError);
    ASSERT_EQ(told, (std::vector<std::string>{"La tabla t.dbf está dañada: hay 2 renglones después de los 2 que "
                                              "cuenta su encabezado. Se pueden leer 4 renglones."}));
    // Another program damages it again: re-read, told, and repaired this time.
    writeBytes(dir / "t.dbf", RawDbf{.fields = {{"A\x01", 'C', 2}, {"B", 'C', 1}}, .records = {" x1b"}}.bytes());
    db.table("t").append({"y2", "c"});
    EXPECT_EQ(told.size(), 2u);
    const auto repaired = DbfTable::open(dir / "t.dbf");
    EXPECT_TRUE(repaired->warnings().empty());
    EXPECT_EQ(repaired->fields()[0].name, "CAMPO1");  // no layout names this table's field
    EXPECT_EQ(rowsOf(*repaired), (std::vector<Row>{{"x1", "b"}, {"y2", "c"}}));
    EXPECT_EQ(fileNames(dir.path()).size(), 2u);  // and one copy of the damaged file
}

}  // namespace
