// zeltar-verifica over disks that each hold one planted fault, clean disks,
// and folders it cannot read.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "../store/dbf_test_util.h"
#include "store/schema.h"

using namespace store;
using namespace dbftest;

namespace {

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
        const auto& fields = tableLayout(name).fields;
        std::vector<Row> out;
        for (const Fields& values : rows) {
            Row row(fields.size());
            for (const auto& [field, v] : values)
                for (std::size_t i = 0; i < fields.size(); ++i)
                    if (fields[i].name == field)
                        row[i] = v;
            out.push_back(row);
        }
        fixture::makeTable(dir / (name + ".dbf"), fields, out);
    }
}

RunResult verifica(const std::vector<std::string>& args) { return runProgram(ZELTAR_VERIFICA_EXE, args); }

// One disk per fault. A row changed: what the verifier prints for it, after
// "DIR: TABLE.dbf, renglón N, FIELD: ".
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
    fs::rename(other / "Sector.dbf", other / "SECTOR.DBF");
    fs::create_directory(other / "respaldo-20250101-120000");
    writeBytes(other / "respaldo-20250101-120000" / "datoprov.dbf", "esto no es una tabla");
    RunResult r = verifica({utf8(clean), utf8(other)});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "");

    writeBytes(other / "SECTOR.DBF", "esto no es una tabla");
    r = verifica({utf8(clean), utf8(other), utf8(scratch / "no existe")});
    EXPECT_EQ(r.status, 2);
    // A file system that ignores case may have kept the old spelling: the name shown is the one on disk.
    std::string onDisk;
    for (const auto& e : fs::directory_iterator(other))
        if (e.path().filename() == "SECTOR.DBF" || e.path().filename() == "Sector.dbf")
            onDisk = e.path().filename().string();
    EXPECT_NE(r.out.find(utf8(other) + ": " + onDisk + ": "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(utf8(scratch / "no existe") + ": No se puede leer la carpeta: "), std::string::npos);
    EXPECT_EQ(verifica({}).status, 2);
}

}  // namespace
