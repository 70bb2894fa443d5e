#include <gtest/gtest.h>

#include <ctime>

#include "dbf_test_util.h"
#include "store/dbf.h"

using namespace store;
using dbftest::RawDbf;
using dbftest::readBytes;
using dbftest::ScratchDir;
using dbftest::writeBytes;

namespace {

std::vector<FieldDef> everyType()
{
    return {
        {"RFC", FieldType::Character, 13, 0},   {"NOMBRE", FieldType::Character, 20, 0},
        {"CANTIDAD", FieldType::Numeric, 10, 2}, {"CLAVE", FieldType::Numeric, 5, 0},
        {"FACTOR", FieldType::Float, 12, 4},    {"FECHA", FieldType::Date, 8, 0},
        {"ACTIVO", FieldType::Logical, 1, 0},
    };
}

TEST(Value, ToStringAsTheWindowsShowIt)
{
    const std::pair<Value, std::string> cases[] = {
        {Value(), ""},
        {Value(14), "14"},
        {Value(14.0), "14"},
        {Value(2.5), "2.5"},
        {Value(-0.5), "-0.5"},
        {Value(0.1), "0.1"},
        {Value(-0.0), "0"},
        {Value(123456789.0), "123456789"},
        {Value(Date{2024, 1, 5}), "20240105"},
        {Value(true), "T"},
        {Value(false), "F"},
        {Value(" ABC"), " ABC"},
    };
    for (const auto& [v, text] : cases)
        EXPECT_EQ(v.toString(), text);
}

TEST(Dbf, EveryFieldTypeRoundTrips)
{
    ScratchDir dir;
    const auto file = dir / "todos.dbf";
    DbfTable::create(file, everyType());
    const std::vector<Row> rows = {
        {" ABC010101XY1", "Año ñandú ÁÉÍÓÚ¿¡", 1234567.25, 14, 3.1416, Date{2024, 2, 29}, true},
        {"XYZ", "  dos blancos", -0.5, -9999, -0.0001, Date{1999, 12, 31}, false},
        {Value(), Value(), Value(), Value(), Value(), Value(), Value()},
        {"0", "x", 0.0, 0, 0.0, Date{1, 1, 1}, true},
    };
    {
        const auto t = DbfTable::open(file);
        for (const Row& r : rows)
            t->append(r);
    }
    const auto t = DbfTable::open(file);
    EXPECT_TRUE(t->warnings().empty());
    ASSERT_EQ(t->recordCount(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_FALSE(t->isDeleted(i));
        EXPECT_EQ(t->read(i), rows[i]) << "row " << i;
    }
    EXPECT_EQ(t->read(0, 0).text(), " ABC010101XY1");  // the company RFC keeps its blank
}

TEST(Dbf, WrittenFileHasTheHeaderOtherReadersExpect)
{
    ScratchDir dir;
    const auto file = dir / "cabeza.dbf";
    DbfTable::createWithRows(file, everyType(), {{"A", "B", 1.5, 2, 3.0, Date{2020, 1, 2}, true}, {}});
    const std::string b = readBytes(file);
    const std::size_t headerLength = 32 + 32 * 7 + 1;
    const std::size_t recordLength = 1 + 13 + 20 + 10 + 5 + 12 + 8 + 1;
    ASSERT_EQ(b.size(), headerLength + 2 * recordLength + 1);
    EXPECT_EQ(static_cast<unsigned char>(b[0]), 0x03);
    const std::time_t now = std::time(nullptr);
    const std::tm* tm = std::localtime(&now);
    EXPECT_EQ(static_cast<unsigned char>(b[1]), tm->tm_year);  // year - 1900
    EXPECT_EQ(static_cast<unsigned char>(b[2]), tm->tm_mon + 1);
    EXPECT_EQ(dbftest::le32(b, 4), 2u);
    EXPECT_EQ(dbftest::le16(b, 8), headerLength);
    EXPECT_EQ(dbftest::le16(b, 10), recordLength);
    EXPECT_EQ(static_cast<unsigned char>(b[29]), 0x02);
    EXPECT_EQ(b.substr(32, 11), std::string("RFC\0\0\0\0\0\0\0\0", 11));
    EXPECT_EQ(b[32 + 11], 'C');
    EXPECT_EQ(static_cast<unsigned char>(b[32 + 16]), 13);
    EXPECT_EQ(b[32 + 17], 0);                     // no decimals for C
    EXPECT_EQ(static_cast<unsigned char>(b[32 + 2 * 32 + 16]), 10);  // CANTIDAD N(10,2)
    EXPECT_EQ(static_cast<unsigned char>(b[32 + 2 * 32 + 17]), 2);
    EXPECT_EQ(b[headerLength - 1], '\x0D');
    EXPECT_EQ(b[headerLength], ' ');
    EXPECT_EQ(b.back(), '\x1A');
    // Values as laid out in the record: text left, numbers right with their decimals.
    const std::string rec = b.substr(headerLength, recordLength);
    EXPECT_EQ(rec.substr(1, 13), "A            ");
    EXPECT_EQ(rec.substr(34, 10), "      1.50");
    EXPECT_EQ(rec.substr(44, 5), "    2");
    EXPECT_EQ(rec.substr(49, 12), "      3.0000");
    EXPECT_EQ(rec.substr(61, 8), "20200102");
    EXPECT_EQ(rec.substr(69, 1), "T");
    EXPECT_EQ(b.substr(headerLength + recordLength, recordLength), std::string(recordLength, ' '));
}

TEST(Dbf, ReadsNullsAndBlanksAsTheDataEngineDid)
{
    RawDbf raw{.fields = {{"T", 'C', 6}, {"N", 'N', 5, 1}, {"D", 'D', 8}, {"L", 'L', 1}}};
    raw.records = {
        std::string(" ") + "      " + "     " + "        " + " ",  // all blank: every field null
        std::string(" ") + "  ab  " + "*****" + "00000000" + "?",  // leading blanks kept
        std::string(" ") + std::string("ab\0\0\0\0", 6) + "  -.5" + "19000101" + "y",
        std::string(" ") + "XYZ   " + "12345" + "2023021 " + "n",
    };
    const auto t = DbfTable::fromBytes(raw.bytes(), "nulos.dbf");
    ASSERT_EQ(t->recordCount(), 4u);
    EXPECT_EQ(t->read(0), (Row{Value(), Value(), Value(), Value()}));
    EXPECT_EQ(t->read(1), (Row{"  ab", Value(), Value(), Value()}));
    EXPECT_EQ(t->read(2), (Row{"ab", -0.5, Date{1900, 1, 1}, true}));
    EXPECT_EQ(t->read(3), (Row{"XYZ", 12345.0, Value(), false}));  // a broken date is null
}

TEST(Dbf, UnreadableValuesAreNullAndReported)
{
    RawDbf raw{.fields = {{"N", 'N', 5}, {"D", 'D', 8}, {"L", 'L', 1}}};
    raw.records = {" 1.2.320231301X", "    12202402291"};
    const auto t = DbfTable::fromBytes(raw.bytes(), "malos.dbf");
    EXPECT_EQ(t->read(0), (Row{Value(), Value(), Value()}));
    EXPECT_EQ(t->read(1), (Row{12.0, Date{2024, 2, 29}, Value()}));
    EXPECT_GE(t->warnings().size(), 3u);
    EXPECT_NE(t->warnings()[0].find("malos.dbf"), std::string::npos);
}

// Files as other programs write them.
TEST(Dbf, ReadsFilesOfOtherWriters)
{
    struct Case {
        const char* what;
        RawDbf raw;
        std::vector<Row> rows;
        std::vector<bool> deleted;
    };
    const std::string nombre1252 = "Pe\xF1" "a";  // Peña in cp1252
    const std::string nombre437 = "Pe\xA4" "a";   // and in cp437 / cp850
    std::vector<Case> cases = {
        {"windows code page byte 0x03",
         RawDbf{.codePage = 0x03, .fields = {{"NOMBRE", 'C', 8}}, .records = {" " + nombre1252 + "    "}},
         {{"Peña"}}, {false}},
        {"windows code page byte 0x57",
         RawDbf{.codePage = 0x57, .fields = {{"NOMBRE", 'C', 8}}, .records = {" " + nombre1252 + "    "}},
         {{"Peña"}}, {false}},
        {"unmarked code page read as 850",
         RawDbf{.codePage = 0x00, .fields = {{"NOMBRE", 'C', 8}}, .records = {" " + nombre437 + "    "}},
         {{"Peña"}}, {false}},
        {"dos code page 437",
         RawDbf{.codePage = 0x01, .fields = {{"NOMBRE", 'C', 8}}, .records = {" " + nombre437 + "    "}},
         {{"Peña"}}, {false}},
        {"lower-case field names and garbage after the NUL",
         RawDbf{.fields = {{std::string("rfc\0ZZ\x07", 7), 'C', 4}, {"clave", 'n', 3}}, .records = {"  abc 12"}},
         {{" abc", 12.0}}, {false}},
        {"no end marker",
         RawDbf{.fields = {{"A", 'C', 2}}, .records = {" x1", " x2"}, .endMarker = false},
         {{"x1"}, {"x2"}}, {false, false}},
        {"deleted rows",
         RawDbf{.fields = {{"A", 'C', 2}}, .records = {"*x1", " x2", "*x3"}},
         {{"x1"}, {"x2"}, {"x3"}}, {true, false, true}},
        {"one 0x00 after the terminator",
         RawDbf{.fields = {{"A", 'C', 2}}, .records = {" x1"}, .afterTerminator = std::string(1, '\0')},
         {{"x1"}}, {false}},
        {"FoxPro with the memo version byte but no memo field",
         RawDbf{.version = 0xF5, .fields = {{"A", 'C', 2}}, .records = {" x1"}}, {{"x1"}}, {false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        writeBytes(dir / "ajena.dbf", c.raw.bytes());
        const auto t = DbfTable::open(dir / "ajena.dbf");
        EXPECT_TRUE(t->warnings().empty()) << t->warnings().front();
        ASSERT_EQ(t->recordCount(), c.rows.size());
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(t->read(i), c.rows[i]);
            EXPECT_EQ(t->isDeleted(i), c.deleted[i]);
        }
    }
}

TEST(Dbf, AMarkOtherThanBlankOrAsteriskIsNoLiveRow)
{
    // Zero bytes are what a file system may leave of records never written.
    RawDbf raw{.fields = {{"A", 'C', 2}}, .records = {std::string(3, '\0'), " x2", "?x3"}};
    const auto t = DbfTable::fromBytes(raw.bytes(), "marcas.dbf");
    ASSERT_EQ(t->recordCount(), 3u);
    EXPECT_TRUE(t->isDeleted(0));
    EXPECT_FALSE(t->isDeleted(1));
    EXPECT_TRUE(t->isDeleted(2));
    EXPECT_FALSE(t->warnings().empty());
}

TEST(Dbf, FieldNamesAreMatchedWithoutRegardToCase)
{
    RawDbf raw{.fields = {{"rfc", 'C', 4}, {"Clave", 'N', 3}}, .records = {"  abc 12"}};
    const auto t = DbfTable::fromBytes(raw.bytes(), "nombres.dbf");
    EXPECT_EQ(t->fields()[0].name, "rfc");  // exposed as written
    EXPECT_EQ(t->fieldIndex("RFC"), 0);
    EXPECT_EQ(t->fieldIndex("clave"), 1);
    EXPECT_EQ(t->fieldIndex("CLAVE"), 1);
    EXPECT_EQ(t->fieldIndex("CLAV"), -1);
}

TEST(Dbf, AppendingToAFileWithoutEndMarkerAddsIt)
{
    ScratchDir dir;
    RawDbf raw{.fields = {{"A", 'C', 2}}, .records = {" x1"}, .endMarker = false};
    writeBytes(dir / "t.dbf", raw.bytes());
    DbfTable::open(dir / "t.dbf")->append({"x2"});
    const std::string b = readBytes(dir / "t.dbf");
    EXPECT_EQ(b.substr(b.size() - 7), " x1 x2\x1A");
    EXPECT_EQ(dbftest::le32(b, 4), 2u);
}

TEST(Dbf, TablesItCannotHandleAreRefusedNamingTheFile)
{
    const RawDbf sound{.fields = {{"A", 'C', 2}}, .records = {" x1"}};
    struct Case {
        const char* what;
        RawDbf raw;
    };
    std::vector<Case> cases;
    for (std::uint8_t v : {0x30, 0x31, 0x32, 0x04, 0x8B, 0x00}) {
        RawDbf r = sound;
        r.version = v;
        cases.push_back({"version", r});
    }
    for (char type : {'M', 'G', 'B', 'P', 'I', 'T', 'Y', '@', '0'}) {
        RawDbf r{.version = 0xF5, .fields = {{"A", 'C', 2}, {"NOTA", type, 4}}, .records = {" x1   1"}};
        cases.push_back({"field type", r});
    }
    for (std::uint8_t cp : {0x7D, 0x26, 0x4D, 0xCB}) {
        RawDbf r = sound;
        r.codePage = cp;
        cases.push_back({"code page", r});
    }
    for (const Case& c : cases) {
        ScratchDir dir;
        writeBytes(dir / "rara.dbf", c.raw.bytes());
        try {
            DbfTable::open(dir / "rara.dbf");
            ADD_FAILURE() << c.what << " accepted";
        } catch (const StoreError& e) {
            EXPECT_NE(std::string(e.what()).find("rara.dbf"), std::string::npos) << e.what();
        }
    }
}

TEST(Dbf, ValuesThatDoNotFitAreRefusedAndNothingIsWritten)
{
    ScratchDir dir;
    const auto file = dir / "limites.dbf";
    DbfTable::create(file, {{"TXT", FieldType::Character, 5, 0}, {"NUM", FieldType::Numeric, 5, 2},
                            {"FEC", FieldType::Date, 8, 0}, {"LOG", FieldType::Logical, 1, 0}});
    const auto t = DbfTable::open(file);
    t->append({"uno"});
    const std::string before = readBytes(file);
    const std::vector<Row> refused = {
        {"SEIS26"},                                 // one character too many
        {"€"},                                      // not in code page 850
        {"\xC3"},                                   // not UTF-8
        {Value(), 100.0},                           // "100.00" does not fit 5 positions
        {Value(), -10.5},                           // "-10.50"
        {Value(), "catorce"},                       // text that is no number
        {Value(), Value(), Date{2023, 2, 29}},      // no such day
        {Value(), Value(), "2023-01-01"},
        {Value(), Value(), Value(), 3.0},
        {Value(), Value(), Value(), Value(), "sobra"},  // more values than fields
    };
    for (const Row& row : refused) {
        EXPECT_THROW(t->append(row), StoreError);
        Row full = row;
        if (full.size() < 4)
            full.resize(4);
        EXPECT_THROW(t->update(0, full), StoreError);
    }
    EXPECT_EQ(readBytes(file), before);
    EXPECT_EQ(t->recordCount(), 1u);
}

TEST(Dbf, ValuesAreConvertedToTheFieldType)
{
    ScratchDir dir;
    const auto file = dir / "tipos.dbf";
    DbfTable::create(file, {{"TXT", FieldType::Character, 5, 0}, {"NUM", FieldType::Numeric, 5, 2},
                            {"FEC", FieldType::Date, 8, 0}, {"LOG", FieldType::Logical, 1, 0}});
    const auto t = DbfTable::open(file);
    t->append({14, "14", "20240115", "T"});
    t->append({"ÑÑÑÑÑ", " 2.5 ", "", "n"});  // five accented letters fit five bytes
    t->append({2.5, 99.994, Value(), false});
    t->append({true, -9.99, Value(), Value()});
    t->append({Value(), 2.345, Value(), Value()});   // rounded half away from zero
    t->append({Value(), -0.125, Value(), Value()});
    const auto again = DbfTable::open(file);
    EXPECT_EQ(again->read(0), (Row{"14", 14.0, Date{2024, 1, 15}, true}));
    EXPECT_EQ(again->read(1), (Row{"ÑÑÑÑÑ", 2.5, Value(), false}));
    EXPECT_EQ(again->read(2), (Row{"2.5", 99.99, Value(), false}));
    EXPECT_EQ(again->read(3), (Row{"T", -9.99, Value(), Value()}));
    EXPECT_EQ(again->rawRecord(4).substr(6, 5), " 2.35");
    EXPECT_EQ(again->rawRecord(5).substr(6, 5), "-0.13");
}

TEST(Dbf, UpdateAndDeleteWriteInPlace)
{
    ScratchDir dir;
    const auto file = dir / "cambios.dbf";
    DbfTable::createWithRows(file, {{"A", FieldType::Character, 4, 0}, {"N", FieldType::Numeric, 3, 0}},
                             {{"uno", 1}, {"dos", 2}, {"tres", 3}});
    const auto t = DbfTable::open(file);
    t->markDeleted(1);
    t->update(1, {"DOS", 22});  // the deletion mark stays
    t->update(2, {Value(), Value()});
    EXPECT_THROW(t->update(3, {"x", 1}), StoreError);
    EXPECT_THROW(t->update(0, {"x"}), StoreError);  // a short row would blank the rest
    EXPECT_THROW(t->markDeleted(7), StoreError);
    const auto again = DbfTable::open(file);
    ASSERT_EQ(again->recordCount(), 3u);
    EXPECT_EQ(again->read(0), (Row{"uno", 1.0}));
    EXPECT_TRUE(again->isDeleted(1));
    EXPECT_EQ(again->read(1), (Row{"DOS", 22.0}));
    EXPECT_EQ(again->read(2), (Row{Value(), Value()}));
    EXPECT_FALSE(again->isDeleted(2));
}

TEST(Dbf, CreateRefusesAnExistingFileAndBadLayouts)
{
    ScratchDir dir;
    DbfTable::create(dir / "t.dbf", {{"A", FieldType::Character, 4, 0}});
    EXPECT_THROW(DbfTable::create(dir / "t.dbf", {{"A", FieldType::Character, 4, 0}}), StoreError);
    const std::vector<std::vector<FieldDef>> bad = {
        {},
        {{"NOMBREMUYLARGO", FieldType::Character, 4, 0}},
        {{"", FieldType::Character, 4, 0}},
        {{"A", FieldType::Character, 0, 0}},
        {{"A", FieldType::Character, 255, 0}},
        {{"A", FieldType::Numeric, 5, 4}},
        {{"A", FieldType::Date, 6, 0}},
        {{"A", FieldType::Character, 4, 0}, {"a", FieldType::Numeric, 4, 0}},
        {{"A B", FieldType::Character, 4, 0}},
    };
    for (const auto& fields : bad)
        EXPECT_THROW(DbfTable::create(dir / "malo.dbf", fields), StoreError);
    EXPECT_FALSE(std::filesystem::exists(dir / "malo.dbf"));
    EXPECT_THROW(DbfTable::create(dir / "cp.dbf", {{"A", FieldType::Character, 4, 0}}, 0x7D), StoreError);
}

TEST(Dbf, RecordsBeyondTheHeaderCountAreNotSavedRows)
{
    // What a crash between writing a record and raising the count leaves.
    ScratchDir dir;
    RawDbf raw{.fields = {{"A", 'C', 2}}, .records = {" x1", " x2", " x3"}, .count = 2};
    writeBytes(dir / "t.dbf", raw.bytes());
    const auto t = DbfTable::open(dir / "t.dbf");
    EXPECT_EQ(t->recordCount(), 2u);
    EXPECT_FALSE(t->warnings().empty());
    EXPECT_EQ(t->append({"y3"}), 2u);  // takes the place of the unsaved record
    const auto again = DbfTable::open(dir / "t.dbf");
    EXPECT_TRUE(again->warnings().empty());
    ASSERT_EQ(again->recordCount(), 3u);
    EXPECT_EQ(again->read(2), Row{"y3"});
}

TEST(Dbf, ACountBeyondTheFileReadsTheWholeRecords)
{
    RawDbf raw{.fields = {{"A", 'C', 2}}, .records = {" x1", " x2", " x"}, .count = 100000000, .endMarker = false};
    const auto t = DbfTable::fromBytes(raw.bytes(), "corta.dbf");
    EXPECT_EQ(t->recordCount(), 2u);
    EXPECT_FALSE(t->warnings().empty());
}

TEST(Dbf, ReloadsWhenTheFileChanged)
{
    ScratchDir dir;
    const auto file = dir / "t.dbf";
    DbfTable::createWithRows(file, {{"A", FieldType::Character, 4, 0}}, {{"uno"}, {"dos"}});
    const auto reader = DbfTable::open(file);
    const auto writer = DbfTable::open(file);
    EXPECT_FALSE(reader->reloadIfChanged());
    writer->append({"tres"});
    EXPECT_TRUE(reader->reloadIfChanged());
    EXPECT_EQ(reader->recordCount(), 3u);
    EXPECT_FALSE(reader->reloadIfChanged());
    // An append through a stale table goes after the other's rows.
    writer->append({"cua"});
    EXPECT_EQ(reader->append({"cin"}), 4u);
    const auto again = DbfTable::open(file);
    ASSERT_EQ(again->recordCount(), 5u);
    EXPECT_EQ(again->read(3), Row{"cua"});
    EXPECT_EQ(again->read(4), Row{"cin"});
}

TEST(Dbf, AStaleRecordNumberIsNotWrittenOverAnotherRow)
{
    ScratchDir dir;
    const auto file = dir / "t.dbf";
    DbfTable::createWithRows(file, {{"A", FieldType::Character, 4, 0}}, {{"uno"}, {"dos"}, {"tres"}});
    const auto stale = DbfTable::open(file);
    {
        const auto other = DbfTable::open(file);
        other->markDeleted(0);
    }
    packTable(file);  // "dos" is now record 0, "tres" record 1
    EXPECT_THROW(stale->update(1, {"DOS"}), StoreError);
    const auto again = DbfTable::open(file);
    ASSERT_EQ(again->recordCount(), 2u);
    EXPECT_EQ(again->read(0), Row{"dos"});
    EXPECT_EQ(again->read(1), Row{"tres"});
}

TEST(Dbf, PackKeepsLiveRecordsByteForByte)
{
    ScratchDir dir;
    const auto file = dir / "Mercbi.DBF";
    std::vector<Row> rows;
    for (int i = 0; i < 50; ++i)
        rows.push_back({" R" + std::to_string(i), i * 1.5, Date{2000 + i, 1, 1}});
    DbfTable::createWithRows(file, {{"A", FieldType::Character, 6, 0}, {"N", FieldType::Numeric, 8, 2},
                                    {"D", FieldType::Date, 8, 0}}, rows);
    std::vector<std::string> live;
    {
        const auto t = DbfTable::open(file);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (i % 3 == 0 || i == 49)
                t->markDeleted(i);
            else
                live.emplace_back(t->rawRecord(i));
        }
    }
    packTable(file);
    const auto t = DbfTable::open(file);
    EXPECT_TRUE(t->warnings().empty());
    ASSERT_EQ(t->recordCount(), live.size());
    for (std::size_t i = 0; i < live.size(); ++i)
        EXPECT_EQ(t->rawRecord(i), live[i]);
    const std::string b = readBytes(file);
    EXPECT_EQ(b.size(), 32 + 3 * 32 + 1 + live.size() * 23 + 1);
    EXPECT_EQ(b.back(), '\x1A');
    // Nothing left beside it.
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1u);
}

TEST(Dbf, PackRefusesWhatItCannotRead)
{
    ScratchDir dir;
    RawDbf raw{.version = 0x30, .fields = {{"A", 'C', 2}}, .records = {" x1"}};
    writeBytes(dir / "vfp.dbf", raw.bytes());
    EXPECT_THROW(packTable(dir / "vfp.dbf"), StoreError);
    EXPECT_EQ(readBytes(dir / "vfp.dbf"), raw.bytes());
    EXPECT_THROW(packTable(dir / "falta.dbf"), StoreError);
}

TEST(Dbf, DamagedHeadersAreNotWrittenTo)
{
    ScratchDir dir;
    RawDbf raw{.fields = {{"A", 'C', 2}}, .records = {" x1"}};
    std::string b = raw.bytes();
    b[8] = 40;  // header length pointing into the field descriptors
    b[9] = 0;
    writeBytes(dir / "t.dbf", b);
    const auto t = DbfTable::open(dir / "t.dbf");
    ASSERT_EQ(t->recordCount(), 1u);
    EXPECT_EQ(t->read(0), Row{"x1"});
    EXPECT_FALSE(t->warnings().empty());
    EXPECT_THROW(t->append({"x2"}), StoreError);
    EXPECT_EQ(readBytes(dir / "t.dbf"), b);
    packTable(dir / "t.dbf");  // packing repairs it
    const auto packed = DbfTable::open(dir / "t.dbf");
    EXPECT_TRUE(packed->warnings().empty());
    packed->append({"x2"});
    EXPECT_EQ(DbfTable::open(dir / "t.dbf")->recordCount(), 2u);
}

// What we write, read by the other readers on the machine.
TEST(Dbf, OtherReadersSeeTheSameValues)
{
    const std::string python = dbftest::pythonWithDbfread();
    if (python.empty())
        GTEST_SKIP() << "python3-dbfread is not installed";
    ScratchDir dir;
    const auto file = dir / "otros.dbf";
    DbfTable::createWithRows(file, everyType(),
                             {{" ABC010101XY1", "Año ñandú ÁÉÍÓÚ¿¡", 1234567.25, 14, 3.1416, Date{2024, 2, 29}, true},
                              {Value(), Value(), Value(), Value(), Value(), Value(), Value()}});
    DbfTable::open(file)->append({"XYZ", "borrado", -0.5, -9999, -0.0001, Date{1999, 12, 31}, false});
    DbfTable::open(file)->markDeleted(2);
    int status = -1;
    const std::string out = dbftest::runCommand(
        python + " -c \"\nimport dbfread,sys\nt=dbfread.DBF(sys.argv[1])\nprint(t.encoding,len(t.records),len(t.deleted))\n"
                 "for r in t: print(repr(list(r.values())))\" " + file.string(), &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(out, "cp850 2 1\n"
                   "[' ABC010101XY1', 'Año ñandú ÁÉÍÓÚ¿¡', 1234567.25, 14, 3.1416, datetime.date(2024, 2, 29), True]\n"
                   "['', '', None, None, None, None, None]\n");
}

TEST(Dbf, GdalSeesTheSameValues)
{
    int status = -1;
    dbftest::runCommand("ogrinfo --version >/dev/null 2>&1", &status);
    if (status != 0)
        GTEST_SKIP() << "ogrinfo is not installed";
    ScratchDir dir;
    const auto file = dir / "gdal.dbf";
    DbfTable::createWithRows(file, everyType(),
                             {{"RFC1", "Peña", 12.5, 14, 2.0, Date{2024, 2, 29}, true}});
    const std::string out = dbftest::runCommand("ogrinfo -ro -al -q " + file.string() + " 2>&1", &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("RFC (String) = RFC1"), std::string::npos) << out;
    EXPECT_NE(out.find("NOMBRE (String) = Peña"), std::string::npos) << out;
    EXPECT_NE(out.find("CANTIDAD (Real) = 12.50"), std::string::npos) << out;
    EXPECT_NE(out.find("CLAVE (Integer) = 14"), std::string::npos) << out;
    EXPECT_NE(out.find("FECHA (Date) = 2024/02/29"), std::string::npos) << out;
}

} // namespace

namespace {

TEST(Dbf, PackOverwritesTheScratchFileOfAnInterruptedPack)
{
    ScratchDir dir;
    const auto file = dir / "sector.dbf";
    DbfTable::createWithRows(file, {{"A", FieldType::Character, 4, 0}}, {{"uno"}, {"dos"}});
    writeBytes(dir / "sector.dbf.tmp", std::string(5000, 'x'));  // left by a pack that lost power
    DbfTable::open(file)->markDeleted(0);
    packTable(file);
    EXPECT_FALSE(std::filesystem::exists(dir / "sector.dbf.tmp"));
    const auto t = DbfTable::open(file);
    EXPECT_TRUE(t->warnings().empty());
    ASSERT_EQ(t->recordCount(), 1u);
    EXPECT_EQ(t->read(0), Row{"dos"});
}

TEST(Dbf, PackKeepsTheCodePageAndVersionOfTheTable)
{
    ScratchDir dir;
    RawDbf raw{.version = 0xF5, .codePage = 0x03, .fields = {{"nombre", 'C', 5}}, .records = {"*Pe\xF1" "a ", " Pe\xF1" "o "}};
    writeBytes(dir / "t.dbf", raw.bytes());
    packTable(dir / "t.dbf");
    const std::string b = readBytes(dir / "t.dbf");
    EXPECT_EQ(static_cast<unsigned char>(b[0]), 0xF5);
    EXPECT_EQ(static_cast<unsigned char>(b[29]), 0x03);
    const auto t = DbfTable::open(dir / "t.dbf");
    ASSERT_EQ(t->recordCount(), 1u);
    EXPECT_EQ(t->read(0), Row{"Peño"});
    EXPECT_EQ(t->fields()[0].name, "nombre");
}

} // namespace
