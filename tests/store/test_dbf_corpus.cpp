// The damaged-file corpus (written by make_corpus.py): each file either opens,
// with warnings where it is damaged, or is refused with StoreError; never a crash.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <random>
#include <set>

#include "dbf_test_util.h"
#include "store/dbf.h"

using namespace store;
namespace fs = std::filesystem;

namespace {

const fs::path kCorpus = fs::path(ZELTAR_TEST_DIR) / "store" / "corpus";

struct Expected {
    bool opens;
    std::size_t records = 0;
    bool warns = false;
};

// What each file must give; a new file in the corpus must be added here.
const std::map<std::string, Expected>& expectations()
{
    static const std::map<std::string, Expected> table = {
        {"sound.dbf", {true, 3, false}},
        {"empty_file.dbf", {false}},
        {"truncated_header.dbf", {false}},
        {"truncated_descriptors.dbf", {false}},
        {"truncated_records.dbf", {true, 2, true}},
        {"count_beyond_end.dbf", {true, 3, true}},
        {"huge_count.dbf", {true, 3, true}},
        {"header_length_short.dbf", {true, 3, true}},
        {"header_length_long.dbf", {true, 3, true}},
        {"no_end_marker.dbf", {true, 3, false}},
        {"garbage_after_name_nul.dbf", {true, 3, false}},
        {"lowercase_names.dbf", {true, 3, false}},
        {"zero_fields.dbf", {false}},
        {"field_length_zero.dbf", {true, 3, true}},
        {"record_length_short.dbf", {true, 3, true}},
        {"record_length_long.dbf", {true, 3, true}},
        {"record_length_zero.dbf", {true, 3, true}},
        {"no_terminator.dbf", {true, 3, true}},
        {"no_terminator_no_length.dbf", {false}},
        {"visual_foxpro.dbf", {false}},
        {"memo_field.dbf", {false}},
        {"foxpro_no_memo.dbf", {true, 3, false}},
        {"unknown_type.dbf", {false}},
        {"unknown_codepage.dbf", {false}},
        {"unmarked_codepage.dbf", {true, 3, false}},
        {"bad_values.dbf", {true, 2, false}},
        {"uncounted_record.dbf", {true, 2, true}},
        {"null_after_terminator.dbf", {true, 3, false}},
        {"unknown_deletion_flag.dbf", {true, 3, true}},
        {"too_many_descriptors.dbf", {false}},
        {"long_character_field.dbf", {true, 1, false}},
    };
    return table;
}

// Files whose damage a pack cannot take away (it is in the fields or the records).
const std::set<std::string> kStillWarnsAfterPack = {"field_length_zero.dbf"};

std::vector<fs::path> corpusFiles()
{
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(kCorpus))
        if (e.is_regular_file())
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(DbfCorpus, EveryFileOpensOrIsRefused)
{
    const auto files = corpusFiles();
    ASSERT_GE(files.size(), expectations().size());
    for (const fs::path& file : files) {
        const std::string name = file.filename().string();
        SCOPED_TRACE(name);
        const auto it = expectations().find(name);
        ASSERT_NE(it, expectations().end()) << "no expectation for this corpus file";
        const Expected& want = it->second;
        std::unique_ptr<DbfTable> t;
        try {
            t = DbfTable::open(file);
        } catch (const StoreError& e) {
            EXPECT_FALSE(want.opens) << e.what();
            EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
            continue;
        }
        ASSERT_TRUE(want.opens) << "opened a file it must refuse";
        EXPECT_EQ(t->recordCount(), want.records);
        EXPECT_EQ(!t->warnings().empty(), want.warns) << (t->warnings().empty() ? "" : t->warnings().front());
        for (std::size_t r = 0; r < t->recordCount(); ++r) {
            const Row row = t->read(r);
            EXPECT_EQ(row.size(), t->fields().size());
        }
    }
}

TEST(DbfCorpus, ReadableFilesGiveTheSameFirstRow)
{
    // The damage is around the records, so what is read must be what was written.
    const Row first{" ABC010101XY1", 12.5, Date{2024, 2, 29}, true, "Peña"};
    for (const char* name : {"sound.dbf", "truncated_records.dbf", "count_beyond_end.dbf", "huge_count.dbf",
                             "header_length_short.dbf", "header_length_long.dbf", "no_end_marker.dbf",
                             "garbage_after_name_nul.dbf", "lowercase_names.dbf", "record_length_short.dbf",
                             "record_length_long.dbf", "record_length_zero.dbf", "no_terminator.dbf",
                             "foxpro_no_memo.dbf", "unmarked_codepage.dbf", "uncounted_record.dbf",
                             "null_after_terminator.dbf", "unknown_deletion_flag.dbf"}) {
        const auto t = DbfTable::open(kCorpus / name);
        ASSERT_GE(t->recordCount(), 2u) << name;
        EXPECT_EQ(t->read(0), first) << name;
        EXPECT_EQ(t->read(1, 0), Value("XYZ800101AB2")) << name;
        EXPECT_EQ(t->fieldIndex("FECHA"), 2) << name;
    }
}

TEST(DbfCorpus, PackingADamagedFileGivesASoundOne)
{
    dbftest::ScratchDir dir;
    for (const fs::path& file : corpusFiles()) {
        const std::string name = file.filename().string();
        SCOPED_TRACE(name);
        const auto it = expectations().find(name);
        if (it == expectations().end() || !it->second.opens)
            continue;
        const fs::path copy = dir / name;
        fs::copy_file(file, copy, fs::copy_options::overwrite_existing);
        std::vector<std::string> live;
        {
            const auto t = DbfTable::open(copy);
            for (std::size_t r = 0; r < t->recordCount(); ++r)
                if (!t->isDeleted(r))
                    live.emplace_back(t->rawRecord(r));
        }
        packTable(copy);
        const auto t = DbfTable::open(copy);
        EXPECT_EQ(t->warnings().empty(), kStillWarnsAfterPack.count(name) == 0)
            << (t->warnings().empty() ? "" : t->warnings().front());
        ASSERT_EQ(t->recordCount(), live.size());
        for (std::size_t r = 0; r < live.size(); ++r)
            EXPECT_EQ(t->rawRecord(r), live[r]);
    }
}

TEST(DbfCorpus, BytesFromMemoryBehaveLikeTheFile)
{
    for (const fs::path& file : corpusFiles()) {
        bool fileOpens = true;
        std::size_t fileRecords = 0;
        try {
            fileRecords = DbfTable::open(file)->recordCount();
        } catch (const StoreError&) {
            fileOpens = false;
        }
        try {
            const auto t = DbfTable::fromBytes(dbftest::readBytes(file), file.filename());
            EXPECT_TRUE(fileOpens) << file;
            EXPECT_EQ(t->recordCount(), fileRecords) << file;
            EXPECT_THROW(t->append({}), StoreError);
        } catch (const StoreError&) {
            EXPECT_FALSE(fileOpens) << file;
        }
    }
}

} // namespace

namespace {

// Where the fuzzer is not built (no clang), a fixed-seed run of byte
// mutations over the corpus still goes through the parser in every build.
TEST(DbfCorpus, MutatedFilesOpenOrAreRefused)
{
    std::mt19937 random(20240229);
    std::size_t opened = 0;
    std::size_t refused = 0;
    for (const fs::path& file : corpusFiles()) {
        const std::string original = dbftest::readBytes(file);
        if (original.empty())
            continue;
        for (int round = 0; round < 150; ++round) {
            std::string bytes = original;
            const int edits = 1 + static_cast<int>(random() % 4);
            for (int e = 0; e < edits; ++e) {
                const std::size_t at = random() % bytes.size();
                switch (random() % 4) {
                case 0: bytes[at] = static_cast<char>(random()); break;
                case 1: bytes.resize(at); break;
                case 2: bytes.insert(at, std::string(1 + random() % 40, static_cast<char>(random()))); break;
                default: bytes[at] = static_cast<char>(std::array<char, 6>{'\x0D', '\x1A', ' ', '*', '\0', '\xFF'}[random() % 6]);
                }
                if (bytes.empty())
                    break;
            }
            try {
                const auto t = DbfTable::fromBytes(bytes, "mutado.dbf");
                ++opened;
                for (std::size_t r = 0; r < t->recordCount(); ++r) {
                    const Row row = t->read(r);
                    ASSERT_EQ(row.size(), t->fields().size());
                    ASSERT_EQ(t->rawRecord(r).size(), t->rawRecord(0).size());
                }
            } catch (const StoreError&) {
                ++refused;
            }
        }
    }
    EXPECT_GT(opened, 0u);
    EXPECT_GT(refused, 0u);
}

} // namespace
