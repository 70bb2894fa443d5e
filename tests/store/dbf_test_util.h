// Helpers for the store tests: scratch directories, files built byte by byte, child programs, small tables.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <thread>

#include "store/dbf.h"
#include "store/platform/process.h"
#include "store/platform/program.h"

namespace dbftest {

namespace fs = std::filesystem;

// A fresh directory, removed afterwards even when a test made it read-only.
class ScratchDir {
    std::random_device rd;
    fs::path path_ = fs::temp_directory_path() / ("zeltar-test-" + std::to_string(rd()) + std::to_string(rd()));

public:
    ScratchDir() { fs::create_directories(path_); }
    ~ScratchDir() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }
};

// Paths to and from UTF-8 text (on Windows a path made from a plain string reads it in the ANSI code page).
inline fs::path fromUtf8(const std::string& s) { return fs::path(std::u8string(s.begin(), s.end())); }
inline std::string utf8(const fs::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

inline std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
inline void writeBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}
inline std::set<std::string> fileNames(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

// Every record of a table (deleted ones too), their deletion marks, and the raw bytes of the live ones.
inline std::vector<store::Row> rowsOf(const store::DbfTable& t) {
    std::vector<store::Row> rows;
    for (std::size_t i = 0; i < t.recordCount(); ++i)
        rows.push_back(t.read(i));
    return rows;
}
inline std::vector<bool> deletedOf(const store::DbfTable& t) {
    std::vector<bool> marks;
    for (std::size_t i = 0; i < t.recordCount(); ++i)
        marks.push_back(t.isDeleted(i));
    return marks;
}
inline std::vector<std::string> liveRecords(const store::DbfTable& t) {
    std::vector<std::string> live;
    for (std::size_t i = 0; i < t.recordCount(); ++i)
        if (!t.isDeleted(i))
            live.emplace_back(t.rawRecord(i));
    return live;
}

inline std::uint32_t le32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

// The message of the StoreError that `f` throws, or "(accepted)".
template <class F> std::string errorOf(F&& f) {
    try {
        f();
    } catch (const store::StoreError& e) {
        return e.what();
    }
    return "(accepted)";
}
inline testing::AssertionResult contains(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "\"" << text << "\" lacks \"" << part << "\"";
}

// A .dbf file put together field by field; every header byte can be overridden.
struct RawDbf {
    struct Field {
        std::string name;  // written as is, NUL-padded to 11 bytes
        char type;
        int length;
        int decimals = 0;
    };
    std::uint8_t version = 0x03;
    std::uint8_t codePage = 0x02;
    std::vector<Field> fields{};
    std::vector<std::string> records{};  // each with its deletion byte first
    long count = -1;                     // header count; -1: records.size()

    std::string bytes() const {
        std::string desc;
        int recordLength = 1;
        for (const Field& f : fields) {
            std::string d = (f.name + std::string(11, '\0')).substr(0, 11) + f.type + std::string(20, '\0');
            d[16] = static_cast<char>(f.length & 0xFF);
            d[17] = static_cast<char>(f.decimals);
            desc += d;
            recordLength += f.length;
        }
        const std::size_t headerLength = 32 + desc.size() + 1;
        const auto n = static_cast<std::uint32_t>(count < 0 ? static_cast<long>(records.size()) : count);
        std::string out(32, '\0');
        out[0] = static_cast<char>(version), out[1] = 95, out[2] = 7, out[3] = 1, out[29] = static_cast<char>(codePage);
        for (int i = 0; i < 4; ++i)
            out[4 + i] = static_cast<char>(n >> 8 * i);
        for (int i = 0; i < 2; ++i)
            out[8 + i] = static_cast<char>(headerLength >> 8 * i),
                    out[10 + i] = static_cast<char>(recordLength >> 8 * i);
        out += desc + '\x0D';
        for (const std::string& r : records)
            out += r;
        return out + '\x1A';
    }
};

inline void setEnv(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value ? value : "");
#else
    value ? setenv(name, value, 1) : unsetenv(name);
#endif
}

// A program's exit status (-1: could not start, killed, or outlived two minutes) and what it wrote.
struct RunResult {
    int status = -1;
    std::string out, err;
};
inline RunResult runProgram(const fs::path& program, const std::vector<std::string>& args,
                            store::platform::ProcessOptions options = {}) {
    ScratchDir tmp;
    options.output = tmp / "out";
    options.errors = tmp / "err";
    RunResult r;
    try {
        store::platform::Process p(program, args, options);
        if (p.wait(std::chrono::minutes(2)))
            r.status = p.exitCode().value_or(-1);
    } catch (const std::system_error& e) {
        r.err = e.what();
        return r;
    }
    r.out = readBytes(options.output), r.err = readBytes(options.errors);
    return r;
}

// The distribution's python with dbfread (a Debian package, so none on Windows), or "".
inline fs::path pythonWithDbfread() {
#ifndef _WIN32
    if (runProgram("/usr/bin/python3", {"-c", "import dbfread"}).status == 0)
        return "/usr/bin/python3";
#endif
    return {};
}

// This test binary started again for the current test only, ZELTAR_TEST_CHILD set to role, args after the filter.
inline std::unique_ptr<store::platform::Process> startChild(const std::string& role,
                                                            store::platform::ProcessOptions options = {},
                                                            const std::vector<std::string>& args = {}) {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    options.environment.push_back("ZELTAR_TEST_CHILD=" + role);
    std::vector<std::string> all{std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name()};
    all.insert(all.end(), args.begin(), args.end());
    return std::make_unique<store::platform::Process>(store::platform::currentProgram(), all, options);
}
// The role this process plays when a test started it as a child, else "".
inline std::string childRole() { return store::platform::environmentVariable("ZELTAR_TEST_CHILD"); }

// Waits at most ten seconds for a condition that another process brings about.
template <class F> bool eventually(F&& condition) {
    for (int i = 0; i < 1000; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

}  // namespace dbftest

namespace fixture {

using namespace dbftest;
using store::FieldDef;
using store::FieldType;
using store::Row;
using store::Value;

inline const Value null{};

// Field definitions as the tables write them: C(haracter), N(umeric), F(loat), D(ate), L(ogical).
inline FieldDef C(const char* name, int length) { return {name, FieldType::Character, length, 0}; }
inline FieldDef N(const char* name, int length, int decimals = 0) {
    return {name, FieldType::Numeric, length, decimals};
}
inline FieldDef F(const char* name, int length, int decimals) { return {name, FieldType::Float, length, decimals}; }
inline FieldDef D(const char* name) { return {name, FieldType::Date, 8, 0}; }
inline FieldDef L(const char* name) { return {name, FieldType::Logical, 1, 0}; }

// Writes a table with the rows given; the rows listed in `deleted` get their mark.
inline void makeTable(const fs::path& file, const std::vector<FieldDef>& fields, const std::vector<Row>& rows,
                      const std::vector<std::size_t>& deleted = {}) {
    store::DbfTable::createWithRows(file, fields, rows);
    for (std::size_t d : deleted)
        store::DbfTable::open(file)->markDeleted(d);
}

// Sector.dbf, mercbi.dbf, PRODABAS.DBF and activida.dbf in `dir`.
inline void writeTables(const fs::path& dir) {
    // Record 3 deleted; "IIa", "iia", "IIA" differ in case; " V" keeps its blank; nulls in both keys.
    const std::vector<Row> sectors = {
        {1, "X", "ELECTRONICA"},    {2, "IIa", "AUTOMOTRIZ IND"}, {1, null, "SIN CLAVE"},
        {1, "II", "BORRADO"},       {null, "V", "SIN PROGRAMA"},  {1, "iia", "MINUSCULA"},
        {2, null, "IND SIN CLAVE"}, {1, "IIa", "AUTOMOTRIZ"},     {2, "XIXc", "QUIMICA"},
        {1, "IIA", "MAYUSCULA"},    {1, " V", "BLANCO DELANTE"},  {1, "X", "ELECTRONICA DOS"},
    };
    makeTable(dir / "Sector.dbf", {N("IDSECTOR", 2), C("CVE_SECTOR", 5), C("DESCRIPCIO", 40)}, sectors, {3});
    // Record 5 is deleted. Blank sector keys read as null (records 2 and 14).
    const std::vector<Row> goods = {
        {"X", 1, "84713001", 1, "COMPUTADORAS", 1},
        {"IIa", 1, "87032301", 1, "AUTOS", 1},
        {null, 1, "39269099", 1, "SIN SECTOR", 1},
        {"X", 1, "85340001", 1, "CIRCUITOS", 2},
        {"IIa", 2, "87089999", 2, "PARTES", 2},
        {"X", 1, "84713002", 1, "BORRADA", 1},
        {"iia", 1, "87032302", 1, "MINUSCULA", 1},
        {"X", null, "84713003", 1, "SIN TIPO PROG", 1},
        {"V", 2, "52081101", 2, "TELA", 2},
        {"X", 1, "84713000", 1, "ANTES EN ORDEN", 1},
        {"X", 1, null, 1, "SIN FRACCION", 1},
        {"IIa", 2, "87089998", 2, "ANEXO 2 CLASE 1", 1},
        {"X", 0, "11111111", 1, "TIPO PROG CERO", 2},
        {"V", 1, "52081102", 1, "SIN CLASE", null},
        {"   ", 2, "52081103", 2, "IND SIN SECTOR", 2},
        {"IIA", 1, "87032303", 1, "MAYUSCULA", 2},
    };
    makeTable(
        dir / "mercbi.dbf",
        {C("IDSECTOR", 5), N("TIPO_PROGR", 1), C("FRACCION", 8), N("ANEXO", 1), C("DESCRIPCIO", 40), N("TIPOBIEN", 1)},
        goods, {5});
    makeTable(dir / "PRODABAS.DBF", {C("SOLZELTAR", 10), C("NOMBRE", 60), C("RFC", 13), D("FECACTUALI")},
              {{null, "ACEROS DEL NORTE", " ANO010101AB1", store::Date{2001, 2, 3}},
               {null, "BORRADO", " BOR020202XY2", null},
               {"0001", "TEXTILES DEL SUR", " TDS030303QW3", null}},
              {1});
    makeTable(dir / "activida.dbf", {N("CLAVE", 6), C("NOUSADO", 1), C("DESCRIPCIO", 60)},
              {{111, null, "CULTIVO DE GRANOS"},
               {222, null, "BORRADA"},
               {311, null, "INDUSTRIA ALIMENTARIA"},
               {46, null, "COMERCIO AL POR MENOR"}},
              {1});
}

// The statements the windows give their data sources, with the records each selects from writeTables', in order.
struct StatementCase {
    const char* statement;
    std::vector<std::size_t> records;
};

inline const std::vector<StatementCase> kStatementCases = {
    {"select * from activida", {0, 2, 3}},
    {"select * from  SECTOR ", {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11}},
    {"select * from sector", {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11}},
    // Nulls first, then by character code: "IIA" < "IIa" < "V" < "X" < "iia".
    {"select * from  mercbi order by idsector, tipobien ", {2, 14, 15, 1, 11, 4, 13, 8, 0, 7, 9, 10, 3, 12, 6}},
    // " V" sorts first for its leading blank; the two "X" rows keep file order.
    {"select * from sector where cve_sector <> Null and (idsector = 1 ) order by idsector, cve_sector",
     {10, 9, 7, 0, 11, 5}},
    {"select * from sector where idsector = 2 order by cve_sector ", {6, 1, 8}},
    {"select * from mercbi where anexo=1 and tipobien = 1 order by idsector, fraccion", {2, 1, 10, 9, 0, 7, 6}},
    {"select * from mercbi where anexo=1 and tipobien = 2 order by idsector, fraccion", {15, 12, 3}},
    {"select * from mercbi where tipo_progr = 2 and anexo=2 and tipobien = 2 order by idsector, fraccion ", {14, 4, 8}},
    {"select * from prodabas ", {0, 2}},
    {"select * from sector where cve_sector <> Null and (idsector = 1) order by idsector, cve_sector",
     {10, 9, 7, 0, 11, 5}},
    {"select * from sector where cve_sector <> Null and (idsector = 2) order by idsector, cve_sector", {1, 8}},
    // A blank sector key reads as null and null <> ' ' is false; a null or 0 programme type or kind is left out.
    {"select * from mercbi where idsector <> ' ' and anexo = 1 and tipo_progr <> 0 and anexo <> 0 and "
     "tipobien <> 0 order by idsector, tipo_progr, anexo, tipobien, fraccion",
     {15, 1, 10, 9, 0, 3, 6}},
    {"select * from mercbi where idsector <> ' ' and anexo = 2 and tipo_progr = 2 and tipobien = 2 order by "
     "idsector, tipo_progr, anexo, tipobien, fraccion",
     {4, 8}},
    {"select RFC, NOMBRE from prodabas ", {0, 2}},
    // Keywords and names in any case, tabs, a trailing semicolon.
    {"SELECT * FROM MERCBI WHERE ANEXO=1 AND TIPOBIEN = 1 ORDER BY IDSECTOR, FRACCION", {2, 1, 10, 9, 0, 7, 6}},
    {"Select *\tFrom mercbi Where anexo = 1 And tipobien=1 Order  By idSector,Fraccion;", {2, 1, 10, 9, 0, 7, 6}},
};

}  // namespace fixture
