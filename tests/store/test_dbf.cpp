// The table codec: what it writes, what it reads of other writers' files, and what it refuses to write.
#include <gtest/gtest.h>

#include <ctime>

#include "dbf_test_util.h"
#include "store/dbf.h"

using namespace store;
using namespace fixture;

namespace {

// What we write, byte by byte and as another reader on the machine sees it.
TEST(Dbf, EveryFieldTypeRoundTripsInTheLayoutOtherReadersExpect) {
    ScratchDir dir;
    const auto file = dir / "todos.dbf";
    DbfTable::create(file, {C("RFC", 13), C("NOMBRE", 20), N("CANTIDAD", 10, 2), N("CLAVE", 5), F("FACTOR", 12, 4),
                            D("FECHA"), L("ACTIVO")});
    const std::vector<Row> rows = {
        {" ABC010101XY1", "Año ñandú ÁÉÍÓÚ¿¡", 1234567.25, 14, 3.1416, Date{2024, 2, 29}, true},
        {"XYZ", "  dos blancos", -0.5, -9999, -0.0001, Date{1999, 12, 31}, false},
        Row(7),
        {"A", "x", 1.5, 2, 3.0, Date{2020, 1, 2}, true}};
    for (const Row& r : rows)
        DbfTable::open(file)->append(r);
    const auto t = DbfTable::open(file);
    EXPECT_TRUE(t->warnings().empty());
    EXPECT_EQ(rowsOf(*t), rows);
    EXPECT_EQ(deletedOf(*t), std::vector<bool>(rows.size()));

    const std::string b = readBytes(file);
    const std::size_t headerLength = 32 + 32 * 7 + 1, recordLength = 1 + 13 + 20 + 10 + 5 + 12 + 8 + 1;
    ASSERT_EQ(b.size(), headerLength + rows.size() * recordLength + 1);
    const std::time_t now = std::time(nullptr);
    const std::tm* tm = std::localtime(&now);
    EXPECT_EQ(b.substr(0, 3), std::string({'\x03', char(tm->tm_year), char(tm->tm_mon + 1)}));
    EXPECT_EQ(le32(b, 4), rows.size());
    EXPECT_EQ(le32(b, 8), headerLength | recordLength << 16);
    EXPECT_EQ(b[29], '\x02');
    EXPECT_EQ(b.substr(32, 12), std::string("RFC\0\0\0\0\0\0\0\0C", 12));
    EXPECT_EQ(b.substr(32 + 16, 2), std::string("\x0D\0", 2));  // RFC C(13)
    EXPECT_EQ(b.substr(32 + 2 * 32 + 16, 2), "\x0A\x02");       // CANTIDAD N(10,2)
    EXPECT_EQ(b[headerLength - 1], '\x0D');
    EXPECT_EQ(b.back(), '\x1A');
    // Text left, numbers right with their decimals, nulls blank.
    EXPECT_EQ(b.substr(headerLength + 2 * recordLength, recordLength), std::string(recordLength, ' '));
    EXPECT_EQ(b.substr(headerLength + 3 * recordLength, recordLength),
              " A" + std::string(12, ' ') + "x" + std::string(19, ' ') + "      1.50" + "    2" + "      3.0000"
                  + "20200102" + "T");

    t->markDeleted(1);
    if (const fs::path python = pythonWithDbfread(); !python.empty()) {
        const RunResult r = runProgram(python, {"-c",
                                                "import dbfread,sys\nt=dbfread.DBF(sys.argv[1])\n"
                                                "print(t.encoding,len(t.records),len(t.deleted))\n"
                                                "for r in t: print(repr(list(r.values())))",
                                                file.string()});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out,
                  "cp850 3 1\n"
                  "[' ABC010101XY1', 'Año ñandú ÁÉÍÓÚ¿¡', 1234567.25, 14, 3.1416, datetime.date(2024, 2, 29), True]\n"
                  "['', '', None, None, None, None, None]\n"
                  "['A', 'x', 1.5, 2, 3.0, datetime.date(2020, 1, 2), True]\n");
    }
}

TEST(Dbf, ReadsNullsBlanksAndUnreadableValues) {
    RawDbf raw{.fields = {{"T", 'C', 6}, {"N", 'N', 5, 1}, {"D", 'D', 8}, {"L", 'L', 1}}};
    raw.records = {
        std::string(21, ' '),                                      // all blank: every field null
        std::string(" ") + "  ab  " + "*****" + "00000000" + "?",  // leading blanks kept
        std::string(" ") + std::string("ab\0\0\0\0", 6) + "  -.5" + "19000101" + "y",
        std::string(" ") + "XYZ   " + "12345" + "2023021 " + "n",  // a broken date is null
        std::string(" ") + "XYZ   " + "1.2.3" + "20231301" + "X",  // unreadable: null and reported
    };
    const auto t = DbfTable::fromBytes(raw.bytes(), "nulos.dbf");
    EXPECT_EQ(rowsOf(*t), (std::vector<Row>{{Value(), Value(), Value(), Value()},
                                            {"  ab", Value(), Value(), Value()},
                                            {"ab", -0.5, Date{1900, 1, 1}, true},
                                            {"XYZ", 12345.0, Value(), false},
                                            {"XYZ", Value(), Value(), Value()}}));
    ASSERT_GE(t->warnings().size(), 3u);
    EXPECT_TRUE(contains(t->warnings()[0], "nulos.dbf"));
    // The same records under a version no writer we read uses: refused, naming the file.
    raw.version = 0x04;
    EXPECT_TRUE(contains(errorOf([&] { DbfTable::fromBytes(raw.bytes(), "rara.dbf"); }), "rara.dbf"));
}

TEST(Dbf, CreateRefusesAnExistingFileAndBadLayouts) {
    ScratchDir dir;
    DbfTable::create(dir / "t.dbf", {C("A", 4)});
    EXPECT_THROW(DbfTable::create(dir / "t.dbf", {C("A", 4)}), StoreError);
    EXPECT_THROW(DbfTable::create(dir / "cp.dbf", {C("A", 4)}, 0x7D), StoreError);
    const std::vector<std::vector<FieldDef>> bad = {
        {},
        {C("NOMBREMUYLARGO", 4)},
        {C("", 4)},
        {C("A", 0)},
        {C("A", 255)},
        {N("A", 5, 4)},
        {{"A", FieldType::Date, 6, 0}},
        {C("A B", 4)},
        {C("A", 4), N("a", 4)},
    };
    for (const auto& fields : bad)
        EXPECT_THROW(DbfTable::create(dir / "malo.dbf", fields), StoreError);
    EXPECT_EQ(fileNames(dir.path()), std::set<std::string>{"t.dbf"});
}

TEST(Dbf, ValuesAreConvertedToTheFieldTypeOrRefusedWithNothingWritten) {
    ScratchDir dir;
    const auto file = dir / "limites.dbf";
    DbfTable::createWithRows(file, {C("TXT", 5), N("NUM", 5, 2), D("FEC"), L("LOG")}, {{"uno"}});
    const auto t = DbfTable::open(file);
    const std::string before = readBytes(file);
    const std::vector<Row> refused = {
        {"SEIS26"},
        {"€"},
        {"\xC3"},  // one character too many, not in code page 850, not UTF-8
        {Value(), 100.0},
        {Value(), -10.5},      // "100.00" and "-10.50" do not fit 5 positions
        {Value(), "catorce"},  // text that is no number
        {Value(), Value(), Date{2023, 2, 29}},
        {Value(), Value(), "2023-01-01"},  // no such day, no date
        {Value(), Value(), Value(), 3.0},
        {Value(), Value(), Value(), Value(), "sobra"},  // more values than fields
    };
    for (Row row : refused) {
        EXPECT_THROW(t->append(row), StoreError) << row.size();
        row.resize(std::max<std::size_t>(4, row.size()));
        EXPECT_THROW(t->update(0, row), StoreError);
    }
    EXPECT_EQ(readBytes(file), before);
    EXPECT_EQ(t->recordCount(), 1u);

    // What fits is converted to the field's type.
    for (const Row& r : std::vector<Row>{{14, "14", "20240115", "T"},
                                         {"ÑÑÑÑÑ", " 2.5 ", "", "n"},  // five accented letters fit five bytes
                                         {2.5, 99.994, Value(), false},
                                         {true, -9.99, Value(), Value()},
                                         {Value(), 2.345, Value(), Value()},  // rounded half away from zero
                                         {Value(), -0.125, Value(), Value()}})
        t->append(r);
    const auto c = DbfTable::open(file);
    const auto read = rowsOf(*c);
    EXPECT_EQ(std::vector<Row>(read.begin() + 1, read.begin() + 5),
              (std::vector<Row>{{"14", 14.0, Date{2024, 1, 15}, true},
                                {"ÑÑÑÑÑ", 2.5, Value(), false},
                                {"2.5", 99.99, Value(), false},
                                {"T", -9.99, Value(), Value()}}));
    EXPECT_EQ(c->rawRecord(5).substr(6, 5), " 2.35");
    EXPECT_EQ(c->rawRecord(6).substr(6, 5), "-0.13");
}

TEST(Dbf, WritesInPlaceAndTablesOpenTwiceNeverWriteOverAMovedRow) {
    ScratchDir dir;
    const auto file = dir / "t.dbf";
    DbfTable::createWithRows(file, {C("A", 4), N("N", 3)}, {{"uno", 1}, {"dos", 2}});
    const auto reader = DbfTable::open(file);
    const auto writer = DbfTable::open(file);
    writer->markDeleted(1);
    writer->update(1, {"DOS", 22});  // the deletion mark stays
    writer->update(0, {Value(), Value()});
    EXPECT_THROW(writer->update(2, {"x", 1}), StoreError);
    EXPECT_THROW(writer->update(0, {"x"}), StoreError);  // a short row would blank the rest
    EXPECT_THROW(writer->markDeleted(7), StoreError);
    EXPECT_TRUE(reader->reloadIfChanged());
    EXPECT_EQ(rowsOf(*reader), (std::vector<Row>{{Value(), Value()}, {"DOS", 22.0}}));
    EXPECT_EQ(deletedOf(*reader), (std::vector<bool>{false, true}));
    EXPECT_FALSE(reader->reloadIfChanged());
    // An append through a stale table goes after the other's rows.
    writer->append({"tres"});
    EXPECT_EQ(reader->append({"cua"}), 3u);
    // After a pack elsewhere, "tres" is record 1 and "cua" record 2.
    packTable(file);
    EXPECT_THROW(reader->update(1, {"TRES"}), StoreError);
    EXPECT_EQ(rowsOf(*DbfTable::open(file)),
              (std::vector<Row>{{Value(), Value()}, {"tres", Value()}, {"cua", Value()}}));
}

// A crash between writing a record and raising the count leaves no saved row; the next append takes its place.
TEST(Dbf, AnUncountedRecordIsNoRowAndTheNextAppendTakesItsPlace) {
    ScratchDir dir;
    writeBytes(dir / "t.dbf", RawDbf{.fields = {{"A", 'C', 2}}, .records = {" x1", " x2", " x3"}, .count = 2}.bytes());
    const auto t = DbfTable::open(dir / "t.dbf");
    EXPECT_EQ(t->recordCount(), 2u);
    EXPECT_FALSE(t->warnings().empty());
    EXPECT_EQ(t->append({"y3"}), 2u);
    const auto again = DbfTable::open(dir / "t.dbf");
    EXPECT_TRUE(again->warnings().empty());
    EXPECT_EQ(rowsOf(*again), (std::vector<Row>{{"x1"}, {"x2"}, {"y3"}}));
    EXPECT_THROW(packTable(dir / "falta.dbf"), StoreError);
}

Row rowFor(std::size_t i) {
    const int n = static_cast<int>(i);
    return {" R" + std::to_string(n), "Descripción número " + std::to_string(n), n + 0.25,
            Date{2000 + n % 100, 1 + n % 12, 1 + n % 28}};
}

// The writer, this test run again as a child, is killed (SIGKILL, TerminateProcess) at a random moment.
TEST(DbfCrash, KillDuringAppendsLosesNoSavedRow) {
    if (childRole() == "writer") {
        // Appends until killed; every fifth row also updated and every seventh deleted, as the grids do.
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
    DbfTable::create(file, {C("RFC", 13), C("DESCRIPCIO", 40), N("NUM", 12, 2), D("FECHA")});
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
