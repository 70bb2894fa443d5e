// The data directory: a fresh one gets the seven tables with the layouts the
// other programs rely on; nothing that exists is ever replaced; the lock keeps
// a second program out but lets the holder's child in and never outlives a
// dead holder.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "store/datadir.h"
#include "store/dbf.h"
#include "store/schema.h"

#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using namespace store;

namespace {

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("zeltar-datadir-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
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

void spit(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

std::set<std::string> fileNames(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

void setEnv(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value ? value : "");
#else
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
#endif
}

// Restores the variables a test changes.
class EnvGuard {
public:
    explicit EnvGuard(std::vector<std::string> names) {
        for (auto& n : names) {
            const char* v = std::getenv(n.c_str());
            saved_.push_back({n, v ? std::optional<std::string>(v) : std::nullopt});
        }
    }
    ~EnvGuard() {
        for (auto& [n, v] : saved_)
            setEnv(n.c_str(), v ? v->c_str() : nullptr);
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

} // namespace

// ------------------------------------------------------------- fresh directory

TEST(DataDirectory, FreshDirectoryGetsEveryTableAndTheConsiderations) {
    TempDir tmp;
    const fs::path dir = tmp.path() / "sub" / "ZELTAR";
    auto created = ensureDataDirectory(dir);

    std::set<std::string> expected = {"datoprov.dbf", "catdirpl.dbf", "sector.dbf", "mercbi.dbf",
                                      "prodabas.dbf", "admlocal.dbf", "activida.dbf", "considera.txt"};
    EXPECT_EQ(std::set<std::string>(created.begin(), created.end()), expected);
    // Only finished files: no temporary left behind.
    EXPECT_EQ(fileNames(dir), expected);
    EXPECT_EQ(slurp(dir / "considera.txt"), shippedConsiderations());
    EXPECT_NE(shippedConsiderations().find("RFC"), std::string::npos);
}

TEST(DataDirectory, TablesHaveTheirLayoutsAndCodePage) {
    TempDir tmp;
    ensureDataDirectory(tmp.path());
    for (const TableLayout& layout : tableLayouts()) {
        SCOPED_TRACE(layout.name);
        auto table = DbfTable::open(tmp.path() / (layout.name + ".dbf"));
        EXPECT_TRUE(table->warnings().empty());
        EXPECT_EQ(table->codePageByte(), kCodePage850);
        ASSERT_EQ(table->fields().size(), layout.fields.size());
        for (std::size_t i = 0; i < layout.fields.size(); ++i) {
            EXPECT_EQ(table->fields()[i].name, layout.fields[i].name);
            EXPECT_EQ(table->fields()[i].type, layout.fields[i].type);
            EXPECT_EQ(table->fields()[i].length, layout.fields[i].length);
            EXPECT_LE(table->fields()[i].name.size(), 10u);
        }
    }
}

// The positions that the windows, the questionnaire and the receiving office
// read without looking at names.
TEST(DataDirectory, FixedPositionsHold) {
    struct Case {
        const char* table;
        int position;
        const char* field;
        FieldType type;
    };
    const Case cases[] = {
        {"datoprov", 15, "TIPOTRAM", FieldType::Numeric},
        {"datoprov", 20, "CAMPO20", FieldType::Character},
        {"datoprov", 21, "TIPOPROG", FieldType::Numeric},
        {"datoprov", 22, "CVEACTIVID", FieldType::Numeric},
        {"datoprov", 28, "CVEADMLOC", FieldType::Numeric},
        {"datoprov", 30, "NUMMAQUILA", FieldType::Numeric},
        {"datoprov", 31, "ANOMAQUILA", FieldType::Numeric},
        {"catdirpl", 0, "CALLE", FieldType::Character},
        {"catdirpl", 1, "CP", FieldType::Character},
        {"catdirpl", 2, "COLONIA", FieldType::Character},
        {"catdirpl", 3, "ESTADO", FieldType::Character},
        {"catdirpl", 4, "MUNICIPIO", FieldType::Character},
        {"catdirpl", 5, "CIUDAD", FieldType::Character},
        {"catdirpl", 6, "TEL", FieldType::Character},
        {"catdirpl", 7, "FAX", FieldType::Character},
        {"sector", 0, "IDSECTOR", FieldType::Numeric},
        {"sector", 1, "CVE_SECTOR", FieldType::Character},
        {"sector", 2, "DESCRIPCIO", FieldType::Character},
        {"mercbi", 0, "IDSECTOR", FieldType::Character},
        {"mercbi", 2, "FRACCION", FieldType::Character},
        {"mercbi", 12, "TIPOBIEN", FieldType::Numeric},
        {"prodabas", 0, "SOLZELTAR", FieldType::Character},
        {"prodabas", 1, "NOMBRE", FieldType::Character},
        {"prodabas", 2, "RFC", FieldType::Character},
        {"prodabas", 3, "FECACTUALI", FieldType::Date},
        {"admlocal", 0, nullptr, FieldType::Numeric},
        {"admlocal", 1, nullptr, FieldType::Character},
        {"activida", 0, nullptr, FieldType::Numeric},
        {"activida", 2, nullptr, FieldType::Character},
    };
    TempDir tmp;
    ensureDataDirectory(tmp.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + std::to_string(c.position));
        auto table = DbfTable::open(tmp.path() / (std::string(c.table) + ".dbf"));
        ASSERT_LT(c.position, static_cast<int>(table->fields().size()));
        const FieldDef& f = table->fields()[static_cast<std::size_t>(c.position)];
        if (c.field) {
            EXPECT_EQ(f.name, c.field);
        }
        EXPECT_EQ(f.type, c.type);
    }
    EXPECT_EQ(DbfTable::open(tmp.path() / "datoprov.dbf")->fields().size(), 32u);
    EXPECT_GE(DbfTable::open(tmp.path() / "mercbi.dbf")->fields().size(), 13u);

    // Widths that carry the data the windows check: RFC with its leading
    // blank, eight-digit fractions, the text "14".
    EXPECT_EQ(tableLayout("datoprov").fields[0].length, 13);
    EXPECT_EQ(tableLayout("prodabas").fields[2].length, 13);
    EXPECT_EQ(tableLayout("mercbi").fields[2].length, 8);
    EXPECT_GE(tableLayout("datoprov").fields[20].length, 2);
}

TEST(DataDirectory, ApplicationTablesStartEmptyAndCataloguesFilled) {
    TempDir tmp;
    ensureDataDirectory(tmp.path());
    for (const char* name : {"datoprov", "catdirpl", "sector", "mercbi", "prodabas"})
        EXPECT_EQ(DbfTable::open(tmp.path() / (std::string(name) + ".dbf"))->recordCount(), 0u) << name;

    struct Catalogue {
        const char* name;
        std::size_t minRows;
        std::size_t textPos;
        const char* someEntry;  // accents survive the code page round trip
        double widest;          // the code must fit its datoprov field
    };
    const auto& datoprov = tableLayout("datoprov").fields;
    const Catalogue catalogues[] = {
        {"admlocal", 60, 1, "ADMINISTRACIÓN LOCAL DE RECAUDACIÓN DE MÉRIDA", std::pow(10.0, datoprov[28].length)},
        {"activida", 150, 2, "FABRICACIÓN DE AUTOMÓVILES Y CAMIONETAS", std::pow(10.0, datoprov[22].length)},
    };
    for (const Catalogue& c : catalogues) {
        SCOPED_TRACE(c.name);
        auto table = DbfTable::open(tmp.path() / (std::string(c.name) + ".dbf"));
        ASSERT_GE(table->recordCount(), c.minRows);
        std::set<double> codes;
        std::set<std::string> texts;
        for (std::size_t r = 0; r < table->recordCount(); ++r) {
            const Value code = table->read(r, 0);
            const Value text = table->read(r, c.textPos);
            ASSERT_TRUE(code.isNumber());
            ASSERT_TRUE(text.isText());
            EXPECT_GT(code.number(), 0);
            EXPECT_LT(code.number(), c.widest);
            EXPECT_TRUE(codes.insert(code.number()).second) << "repeated code " << code.number();
            EXPECT_TRUE(texts.insert(text.text()).second) << "repeated entry " << text.text();
            if (c.textPos == 2) {
                EXPECT_TRUE(table->read(r, 1).isNull());
            }
        }
        EXPECT_TRUE(texts.count(c.someEntry)) << c.someEntry;
    }
}

#ifndef _WIN32
// The receiving office opens the copied tables with its own software: another
// reader of the format must see the same fields, rows and text.
TEST(DataDirectory, AnotherReaderOpensTheFreshTables) {
    std::string python;
    for (const char* candidate : {"/usr/bin/python3", "python3"})
        if (std::system((std::string(candidate) + " -c 'import dbfread' >/dev/null 2>&1").c_str()) == 0) {
            python = candidate;
            break;
        }
    if (python.empty())
        GTEST_SKIP() << "python3-dbfread is not installed";

    TempDir tmp;
    ensureDataDirectory(tmp.path());
    const fs::path script = tmp.path() / "leer.py";
    const fs::path out = tmp.path() / "salida.txt";
    spit(script,
         "import sys, dbfread\n"
         "for name in sys.argv[1:]:\n"
         "    t = dbfread.DBF(name, load=True)\n"
         "    last = list(t.records[-1].values()) if t.records else []\n"
         "    print('%s|%s|%d|%s' % (t.encoding, ','.join(t.field_names), len(t.records),\n"
         "          '|'.join('' if v is None else str(v) for v in last)))\n");
    std::string command = python + " '" + script.string() + "'";
    for (const TableLayout& layout : tableLayouts())
        command += " '" + (tmp.path() / (layout.name + ".dbf")).string() + "'";
    ASSERT_EQ(std::system((command + " >'" + out.string() + "'").c_str()), 0);

    std::istringstream lines(slurp(out));
    for (const TableLayout& layout : tableLayouts()) {
        SCOPED_TRACE(layout.name);
        std::string line;
        ASSERT_TRUE(std::getline(lines, line));
        auto ours = DbfTable::open(tmp.path() / (layout.name + ".dbf"));
        std::string expected = "cp850|";
        for (std::size_t i = 0; i < ours->fields().size(); ++i)
            expected += (i ? "," : "") + ours->fields()[i].name;
        expected += "|" + std::to_string(ours->recordCount()) + "|";
        if (ours->recordCount() > 0) {
            const Row last = ours->read(ours->recordCount() - 1);
            for (std::size_t i = 0; i < last.size(); ++i)
                expected += (i ? "|" : "") + last[i].toString();
        }
        EXPECT_EQ(line, expected);
    }
}
#endif

// -------------------------------------------------------- never overwrite

TEST(DataDirectory, ExistingFilesAreNeverReplacedWhateverTheirCase) {
    TempDir tmp;
    const fs::path dir = tmp.path();
    spit(dir / "SECTOR.DBF", "not a table, but it is the operator's file");
    spit(dir / "Considera.TXT", "notas propias");
    DbfTable::create(dir / "DatoProv.dbf", tableLayout("datoprov").fields);
    {
        auto t = DbfTable::open(dir / "DatoProv.dbf");
        Row row(t->fields().size());
        row[0] = Value(std::string(" ABC010203XY1"));
        t->append(row);
    }
    const std::string datoprovBefore = slurp(dir / "DatoProv.dbf");

    auto created = ensureDataDirectory(dir);
    EXPECT_EQ(std::set<std::string>(created.begin(), created.end()),
              (std::set<std::string>{"catdirpl.dbf", "mercbi.dbf", "prodabas.dbf", "admlocal.dbf", "activida.dbf"}));
    EXPECT_EQ(slurp(dir / "SECTOR.DBF"), "not a table, but it is the operator's file");
    EXPECT_EQ(slurp(dir / "Considera.TXT"), "notas propias");
    EXPECT_EQ(slurp(dir / "DatoProv.dbf"), datoprovBefore);
    const auto names = fileNames(dir);
    EXPECT_FALSE(names.count("sector.dbf"));
    EXPECT_FALSE(names.count("datoprov.dbf"));
    EXPECT_FALSE(names.count("considera.txt"));

    // A second start finds everything and touches nothing.
    const std::string admlocalBefore = slurp(dir / "admlocal.dbf");
    EXPECT_TRUE(ensureDataDirectory(dir).empty());
    EXPECT_EQ(slurp(dir / "admlocal.dbf"), admlocalBefore);
    EXPECT_EQ(fileNames(dir), names);
}

TEST(DataDirectory, UncreatableDirectoryIsASpanishError) {
    TempDir tmp;
    spit(tmp.path() / "archivo", "x");
    struct Case {
        fs::path dir;
        const char* start;
    };
    std::vector<Case> cases = {
        {tmp.path() / "archivo", "No se puede crear el directorio de datos "},
        {tmp.path() / "archivo" / "ZELTAR", "No se puede crear el directorio de datos "},
#ifdef __linux__
        // Exists but takes no files, even for the administrator.
        {fs::path("/proc/self"), "No se puede escribir en el directorio de datos "},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dir.string());
        try {
            ensureDataDirectory(c.dir);
            ADD_FAILURE() << "no error";
        } catch (const StoreError& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.rfind(c.start, 0), 0u) << what;
            EXPECT_NE(what.find(c.dir.string()), std::string::npos) << what;
        }
    }
}

#ifndef _WIN32
TEST(DataDirectory, ReadOnlyDirectoryLeavesNoHalfFiles) {
    if (geteuid() == 0)
        GTEST_SKIP() << "the administrator writes into read-only directories";
    TempDir tmp;
    fs::permissions(tmp.path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_THROW(ensureDataDirectory(tmp.path()), StoreError);
    fs::permissions(tmp.path(), fs::perms::owner_all);
    EXPECT_TRUE(fileNames(tmp.path()).empty());
}
#endif

TEST(DataDirectory, TableLayoutByAnyCase) {
    EXPECT_EQ(tableLayout("SECTOR.dbf").name, "sector");
    EXPECT_EQ(tableLayout("DatoProv").name, "datoprov");
    EXPECT_THROW(tableLayout("nada"), StoreError);
}

// ---------------------------------------------------------------- location

TEST(DataDirectory, CommandLineThenEnvironmentThenHome) {
    EnvGuard guard({"ZELTAR_DATOS", "HOME", "USERPROFILE"});
    struct Case {
        std::optional<fs::path> commandLine;
        const char* env;
        const char* home;
        const char* userProfile;
        fs::path expected;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.string());
        setEnv("ZELTAR_DATOS", c.env);
        setEnv("HOME", c.home);
        setEnv("USERPROFILE", c.userProfile);
        EXPECT_EQ(dataDirectory(c.commandLine), c.expected);
    }
}

// -------------------------------------------------------------------- lock

TEST(DirectoryLock, SecondHolderIsRefusedUntilTheFirstLetsGo) {
    EnvGuard guard({"ZELTAR_LOCK_TOKEN"});
    setEnv("ZELTAR_LOCK_TOKEN", nullptr);
    TempDir tmp;
    auto first = DirectoryLock::acquire(tmp.path());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(DirectoryLock::acquire(tmp.path()), nullptr);
    first.reset();
    EXPECT_NE(DirectoryLock::acquire(tmp.path()), nullptr);
}

TEST(DirectoryLock, HandedOffTokenLetsTheChildIn) {
    EnvGuard guard({"ZELTAR_LOCK_TOKEN"});
    TempDir tmp;
    auto holder = DirectoryLock::acquire(tmp.path());
    ASSERT_NE(holder, nullptr);
    const std::string env = holder->handOffEnvironment();
    const auto eq = env.find('=');
    ASSERT_NE(eq, std::string::npos);
    ASSERT_EQ(env.substr(0, eq), "ZELTAR_LOCK_TOKEN");
    const std::string token = env.substr(eq + 1);
    ASSERT_GE(token.size(), 16u);

    setEnv("ZELTAR_LOCK_TOKEN", "otro-valor");
    EXPECT_EQ(DirectoryLock::acquire(tmp.path()), nullptr);

    setEnv("ZELTAR_LOCK_TOKEN", token.c_str());
    {
        auto child = DirectoryLock::acquire(tmp.path());
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(child->handOffEnvironment(), env);
    }
    // The child leaving does not free the holder's lock.
    setEnv("ZELTAR_LOCK_TOKEN", nullptr);
    EXPECT_EQ(DirectoryLock::acquire(tmp.path()), nullptr);

    // A token outlives neither its holder nor a later one.
    holder.reset();
    auto next = DirectoryLock::acquire(tmp.path());
    ASSERT_NE(next, nullptr);
    EXPECT_NE(next->handOffEnvironment(), env);
    setEnv("ZELTAR_LOCK_TOKEN", token.c_str());
    EXPECT_EQ(DirectoryLock::acquire(tmp.path()), nullptr);
}

#ifndef _WIN32
TEST(DirectoryLock, KilledHolderDoesNotBlockTheNextStart) {
    EnvGuard guard({"ZELTAR_LOCK_TOKEN"});
    setEnv("ZELTAR_LOCK_TOKEN", nullptr);
    TempDir tmp;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        close(ready[0]);
        auto lock = DirectoryLock::acquire(tmp.path());
        char c = lock ? 'y' : 'n';
        (void)!write(ready[1], &c, 1);
        for (;;)
            pause();
    }
    close(ready[1]);
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
    ASSERT_EQ(c, 'y');

    EXPECT_EQ(DirectoryLock::acquire(tmp.path()), nullptr);  // alive: refused
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_NE(DirectoryLock::acquire(tmp.path()), nullptr);  // gone: let in
}
#endif
