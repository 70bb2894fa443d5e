// The two programs as the main program and support staff start them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "store/datadir.h"
#include "store/dbf.h"
#include "store/schema.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;
using namespace store;

namespace {

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("zeltar-tools-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a shell command line, capturing both streams.
Outcome run(const fs::path& scratch, const std::string& command) {
    const fs::path out = scratch / "stdout.txt";
    const fs::path err = scratch / "stderr.txt";
    const std::string line = command + " >" + quote(out.string()) + " 2>" + quote(err.string());
    const int raw = std::system(line.c_str());
    Outcome r;
#ifdef _WIN32
    r.status = raw;
#else
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    r.out = slurp(out);
    r.err = slurp(err);
    return r;
}

// pack9 runs in the data directory, as the main program starts it.
Outcome pack9(const fs::path& dir, const fs::path& scratch, const std::string& args, const std::string& env = "") {
    return run(scratch, "cd " + quote(dir.string()) + " && env " + env + " " + quote(PACK9_EXE) + " " + args);
}

Outcome sql(const fs::path& scratch, const fs::path& dir, const std::string& statement) {
    return run(scratch, quote(ZELTAR_SQL_EXE) + " " + quote(dir.string()) + " " + quote(statement));
}

Row goods(const std::string& sector, int programme, const std::string& fraction, int annex, const std::string& text,
          int kind) {
    Row row(tableLayout("mercbi").fields.size());
    row[0] = sector.empty() ? Value() : Value(sector);
    row[1] = Value(programme);
    row[2] = Value(fraction);
    row[3] = Value(annex);
    row[4] = Value(text);
    row[12] = Value(kind);
    return row;
}

// A table of `rows`, with the rows whose numbers are in `deleted` marked.
void makeTable(const fs::path& file, const std::string& layout, const std::vector<Row>& rows,
               const std::vector<std::size_t>& deleted) {
    DbfTable::create(file, tableLayout(layout).fields);
    auto t = DbfTable::open(file);
    for (const Row& r : rows)
        t->append(r);
    for (std::size_t d : deleted)
        t->markDeleted(d);
}

std::vector<Row> liveRows(const fs::path& file, std::size_t* total = nullptr) {
    auto t = DbfTable::open(file);
    std::vector<Row> rows;
    for (std::size_t i = 0; i < t->recordCount(); ++i)
        if (!t->isDeleted(i))
            rows.push_back(t->read(i));
    if (total)
        *total = t->recordCount();
    return rows;
}

class Tools : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "the command lines of these tests are POSIX shell";
#else
        unsetenv("ZELTAR_LOCK_TOKEN");
#endif
        data = scratch.path() / "ZELTAR";
        fs::create_directories(data);
    }
    TempDir scratch;
    fs::path data;
};

} // namespace

// ------------------------------------------------------------------ pack9

TEST_F(Tools, Pack9RemovesDeletedRowsAndKeepsLiveOnesAsTheyWere) {
    std::vector<Row> rows;
    for (int i = 0; i < 7; ++i)
        rows.push_back(goods(i % 2 ? "IIa" : "", 1, "8471300" + std::to_string(i), 1, " CON BLANCO " + std::to_string(i), 1 + i % 2));
    makeTable(data / "MercBI.DBF", "mercbi", rows, {0, 3, 6});

    Outcome r = pack9(data, scratch.path(), "mercbi");
    ASSERT_EQ(r.status, 0) << r.err;
    std::size_t total = 0;
    auto live = liveRows(data / "MercBI.DBF", &total);
    EXPECT_EQ(total, 4u);
    ASSERT_EQ(live.size(), 4u);
    EXPECT_EQ(live[0], rows[1]);
    EXPECT_EQ(live[1], rows[2]);
    EXPECT_EQ(live[2], rows[4]);
    EXPECT_EQ(live[3], rows[5]);
    // Same name as before, and no scratch file left beside it.
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(data))
        names.insert(e.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"MercBI.DBF", "zeltar.lck"}));
}

// The main program's command line: two blanks before mercbi, one at the end,
// whether the shell splits it or it arrives as one argument.
TEST_F(Tools, Pack9TakesTheNamesWhateverTheBlanks) {
    const char* lines[] = {
        "DatoProv catdirpl Sector  mercbi ",
        "'DatoProv catdirpl Sector  mercbi '",
        "'  DatoProv' '' 'catdirpl Sector  ' mercbi",
    };
    for (const char* args : lines) {
        SCOPED_TRACE(args);
        for (auto& e : fs::directory_iterator(data))
            fs::remove(e.path());
        ensureDataDirectory(data);
        for (const char* t : {"datoprov", "catdirpl", "sector", "mercbi"}) {
            auto table = DbfTable::open(data / (std::string(t) + ".dbf"));
            Row row(table->fields().size());
            table->append(row);
            table->append(row);
            table->markDeleted(0);
        }
        Outcome r = pack9(data, scratch.path(), args);
        EXPECT_EQ(r.status, 0) << r.err;
        for (const char* t : {"datoprov", "catdirpl", "sector", "mercbi"})
            EXPECT_EQ(DbfTable::open(data / (std::string(t) + ".dbf"))->recordCount(), 1u) << t;
    }
}

TEST_F(Tools, Pack9ReportsEachFailureAndStillPacksTheRest) {
    makeTable(data / "sector.dbf", "sector", {Row{Value(1), Value("I"), Value("UNO")}, Row{Value(2), Value("V"), Value("CINCO")}}, {0});
    std::ofstream(data / "roto.dbf", std::ios::binary) << "esto no es una tabla";

    Outcome r = pack9(data, scratch.path(), "noexiste Sector roto");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("noexiste"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("roto"), std::string::npos) << r.err;
    EXPECT_EQ(slurp(data / "roto.dbf"), "esto no es una tabla");
    auto live = liveRows(data / "sector.dbf");
    ASSERT_EQ(live.size(), 1u);
    EXPECT_EQ(live[0][1], Value("V"));

    Outcome none = pack9(data, scratch.path(), "' '");
    EXPECT_EQ(none.status, 2);
    EXPECT_FALSE(none.err.empty());
}

TEST_F(Tools, Pack9IsRefusedWhileARunningProgramHoldsTheDirectoryUnlessHandedOn) {
    makeTable(data / "prodabas.dbf", "prodabas",
              {Row{Value(), Value("UNO"), Value(" ABC010203XY1"), Value()}, Row{Value(), Value("DOS"), Value(" DEF010203XY1"), Value()}}, {0});
    const std::string before = slurp(data / "prodabas.dbf");
    auto lock = DirectoryLock::acquire(data);
    ASSERT_NE(lock, nullptr);

    Outcome refused = pack9(data, scratch.path(), "prodabas");
    EXPECT_EQ(refused.status, 3);
    EXPECT_NE(refused.err.find(lockedMessage(fs::path(data))), std::string::npos) << refused.err;
    EXPECT_EQ(slurp(data / "prodabas.dbf"), before);

    Outcome wrongToken = pack9(data, scratch.path(), "prodabas", "ZELTAR_LOCK_TOKEN=0123456789abcdef");
    EXPECT_EQ(wrongToken.status, 3);

    Outcome handedOn = pack9(data, scratch.path(), "prodabas", lock->handOffEnvironment());
    EXPECT_EQ(handedOn.status, 0) << handedOn.err;
    auto live = liveRows(data / "prodabas.dbf");
    ASSERT_EQ(live.size(), 1u);
    EXPECT_EQ(live[0][2], Value(" DEF010203XY1"));

    lock.reset();
    EXPECT_EQ(pack9(data, scratch.path(), "prodabas").status, 0);
}

// ------------------------------------------------------------- zeltar-sql

TEST_F(Tools, ZeltarSqlPrintsNamesThenRowsWithNullsEmpty) {
    makeTable(data / "Sector.dbf", "sector",
              {Row{Value(1), Value("XV"), Value("QUINCE")}, Row{Value(1), Value(), Value("SIN CLAVE")},
               Row{Value(2), Value("IIa"), Value("DOS A")}, Row{Value(1), Value("IIa"), Value("BORRADO")},
               Row{Value(1), Value("IIa"), Value(" DOS, CON BLANCO")}},
              {3});
    makeTable(data / "prodabas.dbf", "prodabas",
              {Row{Value("Z1"), Value("EMPRESA UNO"), Value(" ABC010203XY1"), Value(Date{2024, 2, 29})}}, {});

    struct Case {
        const char* statement;
        const char* expected;
    };
    const Case cases[] = {
        {"select * from sector where cve_sector <> Null and (idsector = 1 ) order by idsector, cve_sector",
         "IDSECTOR\tCVE_SECTOR\tDESCRIPCIO\n1\tIIa\t DOS, CON BLANCO\n1\tXV\tQUINCE\n"},
        {"SECTOR",
         "IDSECTOR\tCVE_SECTOR\tDESCRIPCIO\n1\tXV\tQUINCE\n1\t\tSIN CLAVE\n2\tIIa\tDOS A\n1\tIIa\t DOS, CON BLANCO\n"},
        {"select RFC, NOMBRE from prodabas ", "RFC\tNOMBRE\n ABC010203XY1\tEMPRESA UNO\n"},
        {"select * from prodabas ", "SOLZELTAR\tNOMBRE\tRFC\tFECACTUALI\nZ1\tEMPRESA UNO\t ABC010203XY1\t20240229\n"},
        {"select * from sector where idsector = 3", "IDSECTOR\tCVE_SECTOR\tDESCRIPCIO\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.statement);
        Outcome r = sql(scratch.path(), data, c.statement);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.expected);
        EXPECT_EQ(r.err, "");
    }
}

TEST_F(Tools, ZeltarSqlExitsTwoWithAMessageOnBadInput) {
    makeTable(data / "sector.dbf", "sector", {Row{Value(1), Value("I"), Value("UNO")}}, {});
    std::ofstream(data / "roto.dbf", std::ios::binary) << "esto no es una tabla";
    // A table whose header promises more rows than the file holds.
    makeTable(data / "corto.dbf", "sector", {Row{Value(1), Value("I"), Value("UNO")}, Row{Value(2), Value("V"), Value("DOS")}}, {});
    fs::resize_file(data / "corto.dbf", fs::file_size(data / "corto.dbf") - 20);

    const char* cases[] = {
        "delete from sector",
        "select * from sector where",
        "select * from sector order by nada",
        "select * from noexiste",
        "noexiste",
        "select * from roto",
        "select * from corto",
    };
    for (const char* statement : cases) {
        SCOPED_TRACE(statement);
        Outcome r = sql(scratch.path(), data, statement);
        EXPECT_EQ(r.status, 2);
        EXPECT_FALSE(r.err.empty());
    }
    Outcome missingDir = sql(scratch.path(), scratch.path() / "no-hay", "sector");
    EXPECT_EQ(missingDir.status, 2);
    EXPECT_FALSE(missingDir.err.empty());
}
