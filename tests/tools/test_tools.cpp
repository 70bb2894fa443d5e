// The two programs as the main program and support staff start them.
#include <gtest/gtest.h>

#include "../store/dbf_test_util.h"
#include "store/datadir.h"
#include "store/schema.h"

#ifndef _WIN32
#include <sys/wait.h>

using namespace store;
using namespace dbftest;

namespace {

class Tools : public ::testing::Test {
protected:
    void SetUp() override {
        unsetenv("ZELTAR_LOCK_TOKEN");
        fs::create_directories(data);
    }
    // Runs a command line in the data directory, as the main program starts pack9.
    int run(const std::string& command, std::string* err = nullptr, std::string* out = nullptr) {
        int raw = -1;
        std::string o = runCommand("cd '" + data.string() + "' && " + command + " 2>'" + errFile.string() + "'", &raw);
        if (out)
            *out = std::move(o);
        if (err)
            *err = readBytes(errFile);
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    static std::string pack9(const std::string& args, const std::string& env = "") {
        return "env " + env + " " + PACK9_EXE + " " + args;
    }
    // Three blank rows, `deleted` marked.
    static void fill(const std::string& table, const fs::path& file, const std::vector<std::size_t>& deleted = {0, 2}) {
        fixture::makeTable(file, tableLayout(table).fields, std::vector<Row>(3, Row(tableLayout(table).fields.size())),
                           deleted);
    }
    ScratchDir scratch;
    fs::path data = scratch / "ZELTAR", errFile = scratch / "err";
};

// The main program's command line: two blanks before mercbi, one at the end,
// whether the shell splits it or it arrives as one argument.
TEST_F(Tools, Pack9RemovesDeletedRowsKeepsLiveOnesWhateverTheBlanks) {
    const std::pair<const char*, const char*> tables[] = {
        {"datoprov", "DatoProv.dbf"}, {"catdirpl", "catdirpl.dbf"}, {"sector", "SECTOR.DBF"}, {"mercbi", "MercBI.DBF"}};
    for (const char* args : {"DatoProv catdirpl Sector  mercbi ", "'DatoProv catdirpl Sector  mercbi '",
                             "'  DatoProv' '' 'catdirpl Sector  ' mercbi"}) {
        SCOPED_TRACE(args);
        fs::remove_all(data);
        fs::create_directories(data);
        for (const auto& [table, file] : tables)
            fill(table, data / file);
        std::string err;
        EXPECT_EQ(run(pack9(args), &err), 0) << err;
        EXPECT_EQ(fileNames(data), (std::set<std::string>{"DatoProv.dbf", "catdirpl.dbf", "SECTOR.DBF", "MercBI.DBF",
                                                          "zeltar.lck"}));
        for (const auto& [table, file] : tables)
            EXPECT_EQ(DbfTable::open(data / file)->recordCount(), 1u) << table;
    }
}

TEST_F(Tools, Pack9ReportsEachFailureAndStillPacksTheRest) {
    fill("sector", data / "sector.dbf", {0});
    writeBytes(data / "roto.dbf", "esto no es una tabla");
    std::string err;
    EXPECT_EQ(run(pack9("noexiste Sector roto"), &err), 1);
    EXPECT_TRUE(contains(err, "noexiste"));
    EXPECT_TRUE(contains(err, "roto"));
    EXPECT_EQ(readBytes(data / "roto.dbf"), "esto no es una tabla");
    EXPECT_EQ(DbfTable::open(data / "sector.dbf")->recordCount(), 2u);
    EXPECT_EQ(run(pack9("' '"), &err), 2);
    EXPECT_FALSE(err.empty());
}

TEST_F(Tools, Pack9IsRefusedWhileARunningProgramHoldsTheDirectoryUnlessHandedOn) {
    fill("prodabas", data / "prodabas.dbf");
    const std::string before = readBytes(data / "prodabas.dbf");
    auto lock = DirectoryLock::acquire(data);
    ASSERT_NE(lock, nullptr);
    std::string err;
    EXPECT_EQ(run(pack9("prodabas"), &err), 3);
    EXPECT_TRUE(contains(err, lockedMessage(data)));
    EXPECT_EQ(run(pack9("prodabas", "ZELTAR_LOCK_TOKEN=0123456789abcdef")), 3);
    EXPECT_EQ(readBytes(data / "prodabas.dbf"), before);
    EXPECT_EQ(run(pack9("prodabas", lock->handOffEnvironment()), &err), 0) << err;
    EXPECT_EQ(DbfTable::open(data / "prodabas.dbf")->recordCount(), 1u);
    lock.reset();
    EXPECT_EQ(run(pack9("prodabas")), 0);
}

TEST_F(Tools, ZeltarSqlPrintsNamesThenRowsWithNullsEmptyOrExitsTwo) {
    fixture::makeTable(data / "Sector.dbf", tableLayout("sector").fields,
                       {{1, "XV", "QUINCE"}, {1, Value(), "SIN CLAVE"}, {2, "IIa", "DOS A"}, {1, "IIa", "BORRADO"},
                        {1, "IIa", " DOS, CON BLANCO"}}, {3});
    DbfTable::createWithRows(data / "prodabas.dbf", tableLayout("prodabas").fields,
                             {{"Z1", "EMPRESA UNO", " ABC010203XY1", Date{2024, 2, 29}}});
    writeBytes(data / "roto.dbf", "esto no es una tabla");
    // A table whose header promises more rows than the file holds.
    fs::copy_file(data / "Sector.dbf", data / "corto.dbf");
    fs::resize_file(data / "corto.dbf", fs::file_size(data / "corto.dbf") - 60);
    const std::pair<const char*, const char*> cases[] = {
        {"select * from sector where cve_sector <> Null and (idsector = 1 ) order by idsector, cve_sector",
         "IDSECTOR\tCVE_SECTOR\tDESCRIPCIO\n1\tIIa\t DOS, CON BLANCO\n1\tXV\tQUINCE\n"},
        {"SECTOR", "IDSECTOR\tCVE_SECTOR\tDESCRIPCIO\n1\tXV\tQUINCE\n1\t\tSIN CLAVE\n2\tIIa\tDOS A\n1\tIIa\t DOS, CON BLANCO\n"},
        {"select RFC, NOMBRE from prodabas ", "RFC\tNOMBRE\n ABC010203XY1\tEMPRESA UNO\n"},
        {"select * from prodabas ", "SOLZELTAR\tNOMBRE\tRFC\tFECACTUALI\nZ1\tEMPRESA UNO\t ABC010203XY1\t20240229\n"},
        {"select * from sector where idsector = 3", "IDSECTOR\tCVE_SECTOR\tDESCRIPCIO\n"},
        {"delete from sector", nullptr}, {"select * from sector where", nullptr},
        {"select * from sector order by nada", nullptr}, {"select * from noexiste", nullptr}, {"noexiste", nullptr},
        {"select * from roto", nullptr}, {"select * from corto", nullptr},
    };
    for (const auto& [statement, expected] : cases) {
        SCOPED_TRACE(statement);
        std::string out, err;
        EXPECT_EQ(run(std::string(ZELTAR_SQL_EXE) + " . \"" + statement + "\"", &err, &out), expected ? 0 : 2) << err;
        EXPECT_EQ(err.empty(), expected != nullptr) << err;
        EXPECT_EQ(out, expected ? expected : out);
    }
    EXPECT_EQ(run(std::string(ZELTAR_SQL_EXE) + " no-hay sector"), 2);
}

} // namespace

#endif
