// The programs beside the main one (pack9, zeltar-sql, zeltar-verifica), started as it and support staff do.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <thread>

#include "../store/dbf_test_util.h"
#include "store/datadir.h"
#include "store/schema.h"

using namespace store;
using namespace dbftest;

namespace {

class Tools : public ::testing::Test {
protected:
    void SetUp() override {
        setEnv("ZELTAR_LOCK_TOKEN", nullptr);
        fs::create_directories(data);
    }
    // Runs pack9 in the data directory, as the main program starts it.
    RunResult pack9(const std::vector<std::string>& args, const std::string& env = "", bool verbatim = false) {
        platform::ProcessOptions options;
        options.directory = data;
        if (!env.empty())
            options.environment.push_back(env);
        options.verbatim = verbatim;
        return runProgram(PACK9_EXE, args, options);
    }
    // Three blank rows, `deleted` marked.
    static void fill(const std::string& table, const fs::path& file, const std::vector<std::size_t>& deleted = {0, 2}) {
        fixture::makeTable(file, tableLayout(table).fields, std::vector<Row>(3, Row(tableLayout(table).fields.size())),
                           deleted);
    }
    ScratchDir scratch;
    // A blank and a letter outside ASCII: the path reaches the programs whole.
    fs::path data = scratch.path() / u8"ZELTAR Ñ";
};

TEST_F(Tools, Pack9ReportsEachFailureAndStillPacksTheRest) {
    fill("sector", data / "SECTOR.DBF", {0});
    writeBytes(data / "roto.dbf", "esto no es una tabla");
    RunResult r = pack9({"  noexiste", "", "Sector roto  "});  // names split at blanks, found in any case
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.err, "noexiste"));
    EXPECT_TRUE(contains(r.err, "roto"));
    EXPECT_EQ(readBytes(data / "roto.dbf"), "esto no es una tabla");
    EXPECT_EQ(DbfTable::open(data / "SECTOR.DBF")->recordCount(), 2u);
    r = pack9({" "});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(r.err.empty());
}

TEST_F(Tools, Pack9IsRefusedWhileARunningProgramHoldsTheDirectoryUnlessHandedOn) {
    fill("prodabas", data / "prodabas.dbf");
    const std::string before = readBytes(data / "prodabas.dbf");
    auto lock = DirectoryLock::acquire(data);
    ASSERT_NE(lock, nullptr);
    RunResult r = pack9({"prodabas"});
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(contains(r.err, lockedMessage(data)));
    EXPECT_EQ(pack9({"prodabas"}, "ZELTAR_LOCK_TOKEN=0123456789abcdef").status, 3);
    EXPECT_EQ(readBytes(data / "prodabas.dbf"), before);
    const std::string token = lock->handOffEnvironment();
    r = pack9({"prodabas"}, token);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(DbfTable::open(data / "prodabas.dbf")->recordCount(), 1u);
    EXPECT_EQ(DirectoryLock::acquire(data), nullptr);  // pack9 leaving does not free the holder's lock
    // A token outlives neither its holder nor a later one.
    lock.reset();
    EXPECT_EQ(pack9({"prodabas"}).status, 0);
    lock = DirectoryLock::acquire(data);
    EXPECT_EQ(pack9({"prodabas"}, token).status, 3);
}

// A reader that lets go in a moment or never: Windows' C runtime shares no deletion, so the replace waits for it and
// then gives up with a message, the table whole. Elsewhere a rename never waits for readers.
TEST_F(Tools, Pack9WaitsForAProgramReadingATableOrLeavesItWhole) {
    for (const bool letsGo : {true, false}) {
        SCOPED_TRACE(letsGo ? "lets go" : "keeps it open");
        fs::remove(data / "sector.dbf");
        fill("sector", data / "sector.dbf");
        const std::string before = readBytes(data / "sector.dbf");
        auto reader = std::make_unique<std::ifstream>(data / "sector.dbf", std::ios::binary);
        ASSERT_TRUE(*reader);
        std::thread release;
        if (letsGo)
            release = std::thread([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
                reader.reset();
            });
        const RunResult r = pack9({"sector"});
        if (release.joinable())
            release.join();
        reader.reset();
#ifdef _WIN32
        EXPECT_EQ(r.status, letsGo ? 0 : 1) << r.err;
#else
        EXPECT_EQ(r.status, 0) << r.err;
#endif
        if (r.status == 0) {
            EXPECT_EQ(DbfTable::open(data / "sector.dbf")->recordCount(), 1u);
        } else {
            EXPECT_TRUE(contains(r.err, "No se pudo reemplazar la tabla "));
            EXPECT_TRUE(contains(r.err, "otro programa la tiene abierta. La tabla quedó como estaba"));
            EXPECT_EQ(readBytes(data / "sector.dbf"), before);
        }
        EXPECT_EQ(fileNames(data), (std::set<std::string>{"sector.dbf", "zeltar.lck"}));  // no scratch or backup
    }
}

// What zeltar-sql prints here (the shipped and damaged tables too) goes to the file ZELTAR_SQL_TRANSCRIPT names:
// the test run compares the Linux and the Windows programs' transcripts byte for byte.
TEST_F(Tools, ZeltarSqlPrintsNamesThenRowsWithNullsEmptyOrExitsTwo) {
    fixture::writeTables(data);
    // Goods named in Spanish, for statements that compare text outside ASCII.
    fixture::makeTable(data / "bienes.dbf", {{"DESCRIPCIO", FieldType::Character, 20, 0}},
                       {{"CAMIÓN"}, {"camión"}, {"CAMION"}, {"CAMIÓN"}, {"AÑO ÑANDÚ ¿¡"}, {" DOS, CON BLANCO"}});
    writeBytes(data / "roto.dbf", "esto no es una tabla");
    // A table whose header promises more rows than the file holds.
    fs::copy_file(data / "Sector.dbf", data / "corto.dbf");
    fs::resize_file(data / "corto.dbf", fs::file_size(data / "corto.dbf") - 60);
    std::string transcript;
    const auto answer = [&](const fs::path& dir, const std::string& statement) {
        const RunResult r = runProgram(ZELTAR_SQL_EXE, {utf8(dir), statement});
        transcript += statement + "\n" + std::to_string(r.status) + "\n" + r.out + "\n";
        return r;
    };
    const std::pair<const char*, const char*> cases[] = {
        {"select * from sector where idsector = 2 order by cve_sector ",
         "IDSECTOR\tCVE_SECTOR\tDESCRIPCIO\n2\t\tIND SIN CLAVE\n2\tIIa\tAUTOMOTRIZ IND\n2\tXIXc\tQUIMICA\n"},
        {"ACTIVIDA", "CLAVE\tNOUSADO\tDESCRIPCIO\n111\t\tCULTIVO DE GRANOS\n311\t\tINDUSTRIA "
                     "ALIMENTARIA\n46\t\tCOMERCIO AL POR MENOR\n"},
        {"select RFC, NOMBRE from prodabas ",
         "RFC\tNOMBRE\n ANO010101AB1\tACEROS DEL NORTE\n TDS030303QW3\tTEXTILES DEL SUR\n"},
        {"select * from prodabas ", "SOLZELTAR\tNOMBRE\tRFC\tFECACTUALI\n\tACEROS DEL NORTE\t ANO010101AB1\t20010203\n"
                                    "0001\tTEXTILES DEL SUR\t TDS030303QW3\t\n"},
        {"select * from sector where idsector = 3", "IDSECTOR\tCVE_SECTOR\tDESCRIPCIO\n"},
        // Text outside ASCII in the statement and in the rows; a comma is no separator.
        {"select * from bienes where descripcio = 'CAMIÓN'", "DESCRIPCIO\nCAMIÓN\nCAMIÓN\n"},
        {"select * from bienes where descripcio > 'CAMIÓN'", "DESCRIPCIO\ncamión\n"},
        {"select * from bienes where descripcio < 'B'", "DESCRIPCIO\nAÑO ÑANDÚ ¿¡\n DOS, CON BLANCO\n"},
        {"delete from sector", nullptr},
        {"select * from sector where", nullptr},
        {"select * from sector order by nada", nullptr},
        {"select * from noexiste", nullptr},
        {"noexiste", nullptr},
        {"../ZELTAR Ñ/Sector", nullptr},  // a name, never a path
        {"select * from roto", nullptr},
        {"select * from corto", nullptr},
    };
    for (const auto& [statement, expected] : cases) {
        SCOPED_TRACE(statement);
        const RunResult r = answer(data, statement);
        EXPECT_EQ(r.status, expected ? 0 : 2) << r.err;
        EXPECT_EQ(r.err.empty(), expected != nullptr) << r.err;
        EXPECT_EQ(r.out, expected ? expected : r.out);
    }
    EXPECT_EQ(runProgram(ZELTAR_SQL_EXE, {utf8(scratch / "no-hay"), "sector"}).status, 2);
    EXPECT_EQ(runProgram(ZELTAR_SQL_EXE, {utf8(data)}).status, 2);

    for (const fixture::StatementCase& c : fixture::kStatementCases) {
        const std::string out = answer(data, c.statement).out;
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), std::ptrdiff_t(c.records.size()) + 1) << c.statement;
    }
    const fs::path shipped = scratch / "datos";
    ensureDataDirectory(shipped);
    for (const fs::path& dir : {data, shipped, fs::path(ZELTAR_TEST_DIR) / "store" / "corpus"}) {
        std::vector<std::string> tables;
        for (const auto& e : fs::directory_iterator(dir))
            if (std::string ext = utf8(e.path().extension()); ext == ".dbf" || ext == ".DBF")
                tables.push_back(utf8(e.path().stem()));
        std::sort(tables.begin(), tables.end());
        for (const std::string& table : tables)
            EXPECT_NE(answer(dir, table).status, -1) << table;
    }
    if (const std::string file = platform::environmentVariable("ZELTAR_SQL_TRANSCRIPT"); !file.empty())
        writeBytes(fromUtf8(file), transcript);
}

using Fields = std::map<std::string, Value>;
using Tables = std::map<std::string, std::vector<Fields>>;

Fields good(const char* sector, int tipoProgr, int anexo, int tipoBien, const char* fraccion) {
    return {{"IDSECTOR", sector},   {"TIPO_PROGR", tipoProgr}, {"ANEXO", anexo},
            {"TIPOBIEN", tipoBien}, {"FRACCION", fraccion},    {"DESCRIPCIO", "BIEN"}};
}

// An extension for a direct and an indirect producer, as the program writes it.
// clang-format off
const Tables kClean = {
    {"datoprov", {{{"RFC", " ABC850101XY1"}, {"PROG1P", "2001"}, {"PROG2P", "15"}, {"APEPATRAZ", "EMPRESA SA"},
                   {"CALLEYNO", "REFORMA 10"}, {"CP", "06600"}, {"COLONIA", "CENTRO"}, {"TELEFONO", "5551"},
                   {"TIPOTRAM", 2}, {"TIPOPROG", 3}, {"CVEADMLOC", 20}, {"NOMBREREPL", "ANA"}, {"CARGO", "DIRECTORA"},
                   {"TEL_REPREG", "5552"}, {"EMAILREPL", "ana@x.mx"}, {"CAMPO20", "14"}}}},
    {"catdirpl", {{{"CALLE", "PLANTA 1"}, {"CP", "06600"}}}},
    {"Sector", {{{"IDSECTOR", 1}, {"CVE_SECTOR", "X"}, {"DESCRIPCIO", "ELECTRONICA"}},
                {{"IDSECTOR", 2}, {"CVE_SECTOR", "XIXc"}, {"DESCRIPCIO", "QUIMICA"}}}},
    {"mercbi", {good("X", 1, 1, 1, "84713001"), good("X", 1, 1, 2, "85340001"), good("XIXc", 2, 2, 2, "29000001")}},
    {"prodabas", {{{"NOMBRE", "PROVEEDOR SA"}, {"RFC", " PUN850101AB1"}}}},
    {"activida", {{{"CLAVE", 311010}, {"DESCRIPCIO", "ALIMENTOS"}}}},
};
// clang-format on

void writeDisk(const fs::path& dir, const Tables& tables) {
    fs::create_directories(dir);
    for (const auto& [name, rows] : tables) {
        DbfTable::create(dir / (name + ".dbf"), tableLayout(name).fields);
        const auto table = DbfTable::open(dir / (name + ".dbf"));
        for (const Fields& values : rows) {
            Row row(table->fields().size());
            for (const auto& [field, v] : values)
                row.at(table->fieldIndex(field)) = v;
            table->append(row);
        }
    }
}

RunResult verifica(const std::vector<std::string>& args) { return runProgram(ZELTAR_VERIFICA_EXE, args); }

// One disk per fault. A row changed: what is printed after "DIR: TABLE.dbf, renglón N, FIELD: ".
const struct {
    const char* table;
    std::size_t row;
    const char* field;
    Value value;
    const char* message;
    const char* reported = nullptr;  // the field named when it is not the one changed
} kRowFaults[] = {
    {"datoprov", 0, "RFC", " ABC851301XY1", "El valor del mes del RFC es incorrecto"},
    {"datoprov", 0, "APEPATRAZ", "  ", "La razón social de la empresa es un dato requerido"},
    {"datoprov", 0, "PROG1P", "1979", "El año de zeltar no puede ser menor a 1980"},
    {"catdirpl", 0, "CP", "066001", "El Codigo postal no puede ser mayor a 5 digitos"},
    {"Sector", 1, "CVE_SECTOR", "XIX", "El Sector no puede ser XIX falta el inciso a,b,c.."},
    {"mercbi", 2, "FRACCION", "2900001", "La fraccion debe ser de 8 números"},
    {"mercbi", 1, "FRACCION", "8534000A", "La fracción sólo admite dígitos"},
    {"mercbi", 0, "IDSECTOR", "I", "No debe capturar fraccones para el sector indicado"},  // an extension's
    {"mercbi", 1, "ANEXO", 2, "TIPO_PROGR 1, ANEXO 2 y TIPOBIEN 2 no son los de ninguna lista de mercancías",
     "TIPO_PROGR"},
    {"prodabas", 0, "RFC", "PUN850101AB1", "El RFC necesita un espacio al inicio"},
};

// A file changed after the tables are written; what is printed after "DIR: ".
const std::pair<std::function<void(const fs::path&)>, const char*> kFileFaults[] = {
    {[](const fs::path& d) { fs::remove(d / "prodabas.dbf"); }, "prodabas.dbf: Falta la tabla"},
    {[](const fs::path& d) { DbfTable::open(d / "mercbi.dbf")->markDeleted(2); },
     "mercbi.dbf, renglón 3: Renglón borrado: la tabla no se compactó"},
    {[](const fs::path& d) { fs::resize_file(d / "Sector.dbf", fs::file_size(d / "Sector.dbf") - 20); },
     "Sector.dbf: La tabla {dir}Sector.dbf está dañada: el archivo se corta a la mitad de un renglón: su encabezado "
     "cuenta 2 renglones y sólo 1 están completos."},
};

TEST(Verifica, FindsEachPlantedFaultAndNothingElse) {
    ScratchDir scratch;
    std::vector<std::string> dirs, expected;
    for (const auto& f : kRowFaults) {
        Tables tables = kClean;
        tables[f.table][f.row][f.field] = f.value;
        dirs.push_back(utf8(scratch / (std::string(f.table) + "." + f.field + std::to_string(dirs.size()))));
        writeDisk(fromUtf8(dirs.back()), tables);
        expected.push_back(std::string(f.table) + ".dbf, renglón " + std::to_string(f.row + 1) + ", "
                           + (f.reported ? f.reported : f.field) + ": " + f.message);
    }
    for (const auto& [plant, message] : kFileFaults) {
        dirs.push_back(utf8(scratch / ("archivo" + std::to_string(dirs.size()))));
        writeDisk(fromUtf8(dirs.back()), kClean);
        plant(fromUtf8(dirs.back()));
        expected.push_back(message);
        if (auto at = expected.back().find("{dir}"); at != std::string::npos)
            expected.back().replace(at, 5, utf8((fromUtf8(dirs.back()) / "").make_preferred()));
    }
    for (std::size_t i = 0; i < dirs.size(); ++i) {
        SCOPED_TRACE(expected[i]);
        const RunResult one = verifica({dirs[i]});
        EXPECT_EQ(one.status, 1);
        EXPECT_EQ(one.out, dirs[i] + ": " + expected[i] + "\n");
    }
    // All at once for the receiving office: one CSV line per finding.
    std::vector<std::string> args = dirs;
    args.insert(args.begin(), "--csv");
    const RunResult csv = verifica(args);
    EXPECT_EQ(csv.status, 1) << csv.err;
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), std::ptrdiff_t(dirs.size() + 1));
    EXPECT_EQ(csv.out.substr(0, 40), "\xEF\xBB\xBF" + std::string("carpeta,tabla,renglon,campo,mensaje\r\n"));
    EXPECT_NE(csv.out.find("\r\n" + dirs[3] + ",catdirpl.dbf,1,CP,El Codigo postal no puede ser mayor a 5 digitos\r\n"),
              std::string::npos);
}

TEST(Verifica, CleanDisksGiveNothingAndUnreadableOnesTwo) {
    ScratchDir scratch;
    const fs::path clean = scratch / "limpio", other = scratch / "OTRO";
    writeDisk(clean, kClean);
    // Names in other cases and a backup folder of the program beside the tables.
    writeDisk(other, kClean);
    fs::rename(other / "Sector.dbf", other / "s.tmp");  // Wine keeps the old case of a rename that only changes it
    fs::rename(other / "s.tmp", other / "SECTOR.DBF");
    fs::create_directory(other / "respaldo-20250101-120000");
    writeBytes(other / "respaldo-20250101-120000" / "datoprov.dbf", "esto no es una tabla");
    RunResult r = verifica({utf8(clean), utf8(other)});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "");

    writeBytes(other / "SECTOR.DBF", "esto no es una tabla");
    r = verifica({utf8(clean), utf8(other), utf8(scratch / "no existe")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find(utf8(other) + ": SECTOR.DBF: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(utf8(scratch / "no existe") + ": No se puede leer la carpeta: "), std::string::npos);
    EXPECT_EQ(verifica({}).status, 2);
    r = verifica({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Uso: zeltar-verifica [--csv] CARPETA...\n", 0), 0u) << r.out;
}

}  // namespace
