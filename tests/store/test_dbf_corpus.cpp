// The damaged-file corpus (make_corpus.py): each file opens, warning where damaged, or is refused naming it.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <random>

#include "dbf_test_util.h"

using namespace store;
using namespace dbftest;

namespace {

const fs::path kCorpus = fs::path(ZELTAR_TEST_DIR) / "store" / "corpus";

std::vector<fs::path> corpusFiles() {
    std::vector<fs::path> files(fs::directory_iterator(kCorpus), {});
    std::sort(files.begin(), files.end());
    return files;
}

TEST(DbfCorpus, EveryFileOpensOrIsRefused) {
    // records < 0: refused. sameFirstRows: the damage is around the records; the first two read as written.
    struct Expected {
        int records;
        bool warns = false, sameFirstRows = false, warnsAfterPack = false;
    };
    std::map<std::string, Expected> table = {{"truncated_records.dbf", {2, true, true}},
                                             {"field_length_zero.dbf", {3, true, false, true}},
                                             {"bad_values.dbf", {2}},
                                             {"uncounted_record.dbf", {2, true, true}},
                                             {"long_character_field.dbf", {1}}};
    const std::pair<Expected, std::vector<const char*>> alike[] = {
        {{-1},
         {"empty_file.dbf", "truncated_header.dbf", "truncated_descriptors.dbf", "zero_fields.dbf",
          "no_terminator_no_length.dbf", "visual_foxpro.dbf", "memo_field.dbf", "unknown_type.dbf",
          "unknown_codepage.dbf", "too_many_descriptors.dbf"}},
        {{3, false, true},
         {"sound.dbf", "no_end_marker.dbf", "garbage_after_name_nul.dbf", "lowercase_names.dbf", "foxpro_no_memo.dbf",
          "unmarked_codepage.dbf", "null_after_terminator.dbf"}},
        {{3, true, true},
         {"count_beyond_end.dbf", "huge_count.dbf", "header_length_short.dbf", "header_length_long.dbf",
          "record_length_short.dbf", "record_length_long.dbf", "record_length_zero.dbf", "no_terminator.dbf",
          "unknown_deletion_flag.dbf"}},
    };
    for (const auto& [expected, names] : alike)
        for (const char* name : names)
            table[name] = expected;
    const Row first{" ABC010101XY1", 12.5, Date{2024, 2, 29}, true, "Peña"};
    ScratchDir dir;
    const auto files = corpusFiles();
    ASSERT_GE(files.size(), table.size());
    for (const fs::path& file : files) {
        const std::string name = file.filename().string();
        SCOPED_TRACE(name);
        const auto it = table.find(name);
        ASSERT_NE(it, table.end()) << "no expectation for this corpus file";
        const Expected& want = it->second;
        const std::string bytes = readBytes(file);
        std::unique_ptr<DbfTable> t;
        try {
            t = DbfTable::open(file);
        } catch (const StoreError& e) {
            EXPECT_LT(want.records, 0) << e.what();
            EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
            EXPECT_THROW(DbfTable::fromBytes(bytes, name), StoreError);
            fs::copy_file(file, dir / name);
            EXPECT_THROW(packTable(dir / name), StoreError);
            EXPECT_EQ(readBytes(dir / name), bytes);  // not packed what it cannot read
            continue;
        }
        ASSERT_GE(want.records, 0) << "opened a file it must refuse";
        EXPECT_EQ(t->recordCount(), std::size_t(want.records));
        EXPECT_EQ(!t->warnings().empty(), want.warns) << (t->warnings().empty() ? "" : t->warnings().front());
        // Oddities that leave the table writable; every other warning is damage.
        const bool note =
            name == "field_length_zero.dbf" || name == "uncounted_record.dbf" || name == "unknown_deletion_flag.dbf";
        EXPECT_EQ(t->damage().any(), want.warns && !note);
        std::vector<std::string> live = liveRecords(*t);
        for (const Row& row : rowsOf(*t))
            EXPECT_EQ(row.size(), t->fields().size());
        if (want.sameFirstRows) {
            EXPECT_EQ(t->read(0), first);
            EXPECT_EQ(t->read(1, 0), Value("XYZ800101AB2"));
            EXPECT_EQ(t->fieldIndex("FECHA"), 2);  // names match in any case, not by prefix
            EXPECT_EQ(t->fieldIndex("FECH"), -1);
            EXPECT_EQ(t->fields()[0].name, name == "lowercase_names.dbf" ? "rfc" : "RFC");  // as written
            EXPECT_EQ(t->isDeleted(0), name == "unknown_deletion_flag.dbf");  // a zero mark: never written
            EXPECT_TRUE(t->isDeleted(1));
        }
        // The same bytes from memory give the same table, which takes no writes.
        const auto inMemory = DbfTable::fromBytes(bytes, name);
        EXPECT_EQ(inMemory->recordCount(), t->recordCount());
        EXPECT_THROW(inMemory->append({}), StoreError);

        // A sound file takes an append after its last record; a pack (over a lost one's scratch file) keeps the rest.
        const fs::path copy = dir / name;
        fs::copy_file(file, copy);
        if (!want.warns) {
            const auto c = DbfTable::open(copy);
            c->append({});
            live.emplace_back(c->rawRecord(t->recordCount()));
            const std::string appended = readBytes(copy);
            EXPECT_EQ(appended.back(), '\x1A');
            EXPECT_EQ(le32(appended, 4), t->recordCount() + 1);
        }
        writeBytes(dir / (name + ".tmp"), std::string(5000, 'x'));
        if (t->damage().any()) {
            EXPECT_THROW(DbfTable::open(copy)->append({}), StoreError);
            EXPECT_THROW(packTable(copy), StoreError);
            EXPECT_EQ(readBytes(repairTable(copy).copy), bytes);
        }
        packTable(copy);
        const std::string after = readBytes(copy);
        EXPECT_EQ(std::string(after, 0, 1) + after[29], std::string(bytes, 0, 1) + bytes[29]);
        EXPECT_EQ(after.back(), '\x1A');
        EXPECT_FALSE(fs::exists(dir / (name + ".tmp")));
        const auto packed = DbfTable::open(copy);
        EXPECT_EQ(packed->warnings().empty(), !want.warnsAfterPack);
        EXPECT_EQ(liveRecords(*packed), live);
        EXPECT_NO_THROW(packed->append({}));
    }
}

// Where the fuzzer is not built (no clang), fixed-seed byte mutations of the corpus still go through the parser.
TEST(DbfCorpus, MutatedFilesOpenOrAreRefused) {
    std::mt19937 random(20240229);
    std::size_t opened = 0, refused = 0;
    for (const fs::path& file : corpusFiles()) {
        const std::string original = readBytes(file);
        for (int round = 0; round < 150 && !original.empty(); ++round) {
            std::string bytes = original;
            for (int e = 0, edits = 1 + int(random() % 4); e < edits && !bytes.empty(); ++e) {
                const std::size_t at = random() % bytes.size();
                switch (random() % 4) {
                case 0: bytes[at] = static_cast<char>(random()); break;
                case 1: bytes.resize(at); break;
                case 2: bytes.insert(at, std::string(1 + random() % 40, static_cast<char>(random()))); break;
                default: bytes[at] = std::array<char, 6>{'\x0D', '\x1A', ' ', '*', '\0', '\xFF'}[random() % 6];
                }
            }
            try {
                const auto t = DbfTable::fromBytes(bytes, "mutado.dbf");
                ++opened;
                for (std::size_t r = 0; r < t->recordCount(); ++r)
                    ASSERT_TRUE(t->read(r).size() == t->fields().size()
                                && t->rawRecord(r).size() == t->rawRecord(0).size());
            } catch (const StoreError&) {
                ++refused;
            }
        }
    }
    EXPECT_GT(opened, 0u);
    EXPECT_GT(refused, 0u);
}

}  // namespace
