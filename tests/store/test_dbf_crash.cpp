// A kill in the middle of a long series of saves must leave every saved row
// intact and the file readable.
#include <gtest/gtest.h>

#include "dbf_test_util.h"

using namespace store;
using namespace dbftest;

namespace {

Row rowFor(std::size_t i) {
    const int n = static_cast<int>(i);
    return {" R" + std::to_string(n), "Descripción número " + std::to_string(n), n + 0.25,
            Date{2000 + n % 100, 1 + n % 12, 1 + n % 28}};
}

// The writer is this test run again as a child, killed (SIGKILL,
// TerminateProcess) at a random moment once it has saved a row.
TEST(DbfCrash, KillDuringAppendsLosesNoSavedRow) {
    if (childRole() == "writer") {
        // Appends until killed; every fifth row is also updated and every
        // seventh deleted, as the grids do.
        const auto t = DbfTable::open(fromUtf8(platform::environmentVariable("ZELTAR_TEST_TABLE")));
        for (;;) {
            const std::size_t next = t->recordCount();
            t->append(rowFor(next));
            if (next % 5 == 0)
                t->update(next, rowFor(next));
            if (next % 7 == 0)
                t->markDeleted(next);
        }
    }
    ScratchDir dir;
    const auto file = dir / "mercbi.dbf";
    DbfTable::create(file, {{"RFC", FieldType::Character, 13, 0},
                            {"DESCRIPCIO", FieldType::Character, 40, 0},
                            {"NUM", FieldType::Numeric, 12, 2},
                            {"FECHA", FieldType::Date, 8, 0}});
    std::mt19937 random(std::random_device{}());
    std::size_t previous = 0;
    std::set<std::size_t> cutOff;  // last row of each round: its deletion may not have happened
    platform::ProcessOptions options;
    options.environment = {"ZELTAR_TEST_TABLE=" + utf8(file)};
    for (int round = 0; round < 4; ++round) {
        const auto writer = startChild("writer", options);
        ASSERT_TRUE(eventually([&] {
            const std::string b = readBytes(file);
            return b.size() >= 8 && le32(b, 4) > previous;
        })) << "the writer saved nothing";
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 200)(random)));
        ASSERT_FALSE(writer->wait(std::chrono::milliseconds(0))) << "the writer stopped by itself";
        writer->kill();

        const auto t = DbfTable::open(file);
        EXPECT_GE(t->recordCount(), previous) << "saved rows were lost";
        for (const auto& w : t->warnings())
            EXPECT_NE(w.find("sin contar"), std::string::npos) << w;
        for (std::size_t i = 0; i < t->recordCount(); ++i) {
            ASSERT_EQ(t->read(i), rowFor(i)) << "row " << i << " of round " << round;
            if (!cutOff.count(i) && i + 1 < t->recordCount()) {
                ASSERT_EQ(t->isDeleted(i), i % 7 == 0) << "row " << i;
            }
        }
        if ((previous = t->recordCount()) > 0)
            cutOff.insert(previous - 1);
        // The end of the file is sound for the next writer.
        EXPECT_EQ(le32(readBytes(file), 4), t->recordCount());
    }
    EXPECT_GT(previous, 0u);
}

}  // namespace
