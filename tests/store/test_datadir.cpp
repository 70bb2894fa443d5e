// The data directory: a fresh one's tables, nothing replaced, and a lock that a dead holder leaves free.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>

#include "dbf_test_util.h"
#include "store/database.h"
#include "store/datadir.h"
#include "store/dbf.h"
#include "store/schema.h"

#ifndef _WIN32
#include <unistd.h>  // geteuid
#endif

using namespace store;
using namespace dbftest;

namespace {

// Unsets the variables a test changes and restores them afterwards.
struct EnvGuard {
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    explicit EnvGuard(std::initializer_list<const char*> names) {
        for (const char* n : names)
            saved.emplace_back(n, std::getenv(n) ? std::optional<std::string>(std::getenv(n)) : std::nullopt),
                setEnv(n, nullptr);
    }
    ~EnvGuard() {
        for (const auto& [n, v] : saved)
            setEnv(n.c_str(), v ? v->c_str() : nullptr);
    }
};

const std::set<std::string> kFresh = {"datoprov.dbf", "catdirpl.dbf", "sector.dbf",   "mercbi.dbf",
                                      "prodabas.dbf", "admlocal.dbf", "activida.dbf", "considera.txt"};

TEST(DataDirectory, FreshDirectoryGetsTheSevenTablesAsLaidOut) {
    ScratchDir tmp;
    const fs::path dir = tmp.path() / "sub" / "ZELTAR";
    const auto created = ensureDataDirectory(dir);
    EXPECT_EQ(std::set<std::string>(created.begin(), created.end()), kFresh);
    EXPECT_EQ(fileNames(dir), kFresh);  // only finished files, no temporary left
    EXPECT_EQ(readBytes(dir / "considera.txt"), shippedConsiderations());
    for (const TableLayout& layout : tableLayouts()) {
        SCOPED_TRACE(layout.name);
        EXPECT_EQ(&tableLayout(layout.name + ".DBF"), &layout);  // found in any case
        const auto table = DbfTable::open(dir / (layout.name + ".dbf"));
        EXPECT_TRUE(table->warnings().empty());
        EXPECT_EQ(table->codePageByte(), kCodePage850);
        EXPECT_EQ(table->recordCount() == 0, layout.name != "admlocal" && layout.name != "activida");
    }
    EXPECT_THROW(tableLayout("nada"), StoreError);

    // The catalogues ship filled: unique codes that fit their datoprov fields, unique texts, accents intact.
    const auto& datoprov = tableLayout("datoprov").fields;
    for (const auto& [name, textPos, width, entry] :
         {std::tuple{"admlocal", 1, datoprov[28].length, "ADMINISTRACIÓN LOCAL DE RECAUDACIÓN DE MÉRIDA"},
          std::tuple{"activida", 2, datoprov[22].length, "FABRICACIÓN DE AUTOMÓVILES Y CAMIONETAS"}}) {
        const auto table = DbfTable::open(dir / (std::string(name) + ".dbf"));
        std::set<double> codes;
        std::set<std::string> texts;
        for (std::size_t r = 0; r < table->recordCount(); ++r) {
            const Value code = table->read(r, 0), text = table->read(r, textPos);
            ASSERT_TRUE(code.isNumber() && text.isText()) << name << r;
            EXPECT_TRUE(code.number() > 0 && code.number() < std::pow(10.0, width)) << code.number();
            EXPECT_TRUE(codes.insert(code.number()).second && texts.insert(text.text()).second) << text.text();
        }
        EXPECT_GE(texts.size(), 60u);
        EXPECT_TRUE(texts.count(entry)) << entry;
    }
}

TEST(DataDirectory, ExistingFilesAreNeverReplacedWhateverTheirCase) {
    ScratchDir tmp;
    const fs::path dir = tmp.path();
    writeBytes(dir / "SECTOR.DBF", "not a table, but it is the operator's file");
    writeBytes(dir / "Considera.TXT", "notas propias");
    DbfTable::create(dir / "DatoProv.dbf", tableLayout("datoprov").fields);
    const std::string datoprovBefore = readBytes(dir / "DatoProv.dbf");

    const auto created = ensureDataDirectory(dir);
    EXPECT_EQ(std::set<std::string>(created.begin(), created.end()),
              (std::set<std::string>{"catdirpl.dbf", "mercbi.dbf", "prodabas.dbf", "admlocal.dbf", "activida.dbf"}));
    EXPECT_EQ(readBytes(dir / "SECTOR.DBF"), "not a table, but it is the operator's file");
    EXPECT_EQ(readBytes(dir / "Considera.TXT"), "notas propias");
    EXPECT_EQ(readBytes(dir / "DatoProv.dbf"), datoprovBefore);
    const auto names = fileNames(dir);
    EXPECT_EQ(names.size(), kFresh.size());  // no lower-case twins

    // A second start finds everything and touches nothing.
    const std::string admlocalBefore = readBytes(dir / "admlocal.dbf");
    EXPECT_TRUE(ensureDataDirectory(dir).empty());
    EXPECT_EQ(readBytes(dir / "admlocal.dbf"), admlocalBefore);
    EXPECT_EQ(fileNames(dir), names);
}

TEST(DataDirectory, UnwritableDirectoryIsASpanishErrorAndLeavesNoHalfFiles) {
    ScratchDir tmp;
    writeBytes(tmp.path() / "archivo", "x");
    const fs::path file = tmp / "archivo", under = file / "ZELTAR";
    const std::pair<fs::path, std::string> cases[] = {
        {file, "No se puede crear el directorio de datos " + file.string()},
        {under,
         "No se puede crear el directorio de datos " + under.string() + ": Una parte de la ruta no es una carpeta."},
#ifdef __linux__
        // Exists but takes no files, even for the administrator.
        {fs::path("/proc/self"), "No se puede escribir en el directorio de datos /proc/self"},
#endif
    };
    for (const auto& c : cases)  // not a structured binding: clang 14 cannot capture one
        EXPECT_TRUE(contains(errorOf([&] { ensureDataDirectory(c.first); }), c.second));
#ifndef _WIN32  // Windows lets files into a directory marked read-only
    if (geteuid() == 0)
        return;  // the administrator writes into read-only directories
    const fs::path readOnly = tmp.path() / "solo-lectura";
    fs::create_directory(readOnly);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_THROW(ensureDataDirectory(readOnly), StoreError);
    fs::permissions(readOnly, fs::perms::owner_all);
    EXPECT_TRUE(fileNames(readOnly).empty());
#endif
}

TEST(DataDirectory, CommandLineThenEnvironmentThenHome) {
    EnvGuard guard({"ZELTAR_DATOS", "HOME", "USERPROFILE"});
    const struct {
        std::optional<fs::path> commandLine;
        const char *env, *home, *userProfile;
        fs::path expected;
    } cases[] = {
        {fs::path("/datos/uno"), "/datos/env", "/home/op", nullptr, "/datos/uno"},
        {std::nullopt, "/datos/env", "/home/op", nullptr, "/datos/env"},
        {fs::path(), "/datos/env", "/home/op", nullptr, "/datos/env"},
#ifdef _WIN32
        {std::nullopt, "", "/home/op", nullptr, "C:\\ZELTAR"},
#else
        {std::nullopt, "", "/home/op", nullptr, fs::path("/home/op") / "ZELTAR"},
        {std::nullopt, nullptr, nullptr, "/perfil", fs::path("/perfil") / "ZELTAR"},
#endif
    };
    for (const auto& c : cases) {
        setEnv("ZELTAR_DATOS", c.env), setEnv("HOME", c.home), setEnv("USERPROFILE", c.userProfile);
        EXPECT_EQ(dataDirectory(c.commandLine), c.expected);
    }
}

// The default disk folder is made at start-up; a chosen one that does not exist stays missing (no diskette).
TEST(DiskDirectory, TheDefaultFolderIsMadeAChosenOneIsNot) {
    EnvGuard guard({"ZELTAR_DISCO", "HOME", "USERPROFILE"});
    ScratchDir tmp;
    setEnv("HOME", utf8(tmp.path()).c_str());
#ifdef _WIN32
    EXPECT_EQ(prepareDiskDirectory(std::nullopt), fs::path("A:\\"));  // a drive, never made
#else
    EXPECT_EQ(prepareDiskDirectory(std::nullopt), tmp.path() / "ZELTAR-A");
    EXPECT_TRUE(fs::is_directory(tmp.path() / "ZELTAR-A"));
    EXPECT_EQ(prepareDiskDirectory(std::nullopt), tmp.path() / "ZELTAR-A");  // there already
#endif
    EXPECT_EQ(prepareDiskDirectory(tmp.path() / "usb"), tmp.path() / "usb");
    setEnv("ZELTAR_DISCO", utf8(tmp.path() / "otra").c_str());
    EXPECT_EQ(prepareDiskDirectory(std::nullopt), tmp.path() / "otra");
    EXPECT_FALSE(fs::exists(tmp.path() / "usb"));
    EXPECT_FALSE(fs::exists(tmp.path() / "otra"));
}

// A damaged table is told once per reading and written to only once a repair has made it sound.
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

// The holder is this test run again as a child, killed while it holds the lock.
TEST(DirectoryLock, KilledHolderDoesNotBlockTheNextStart) {
    if (childRole() == "holder") {
        const auto lock = DirectoryLock::acquire(fromUtf8(store::platform::environmentVariable("ZELTAR_TEST_LOCKED")));
        writeBytes(fromUtf8(store::platform::environmentVariable("ZELTAR_TEST_READY")), lock ? "y" : "n");
        for (;;)
            std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    EnvGuard guard({"ZELTAR_LOCK_TOKEN"});
    ScratchDir tmp;
    const fs::path ready = tmp / "ready";
    store::platform::ProcessOptions options;
    options.environment = {"ZELTAR_TEST_LOCKED=" + utf8(tmp.path()), "ZELTAR_TEST_READY=" + utf8(ready)};
    auto holder = startChild("holder", options);
    ASSERT_TRUE(eventually([&] { return readBytes(ready) == "y"; }));
    EXPECT_EQ(DirectoryLock::acquire(tmp.path()), nullptr);  // alive: refused
    holder->kill();
    EXPECT_NE(DirectoryLock::acquire(tmp.path()), nullptr);  // gone: let in
}

}  // namespace
