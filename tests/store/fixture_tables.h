// Small tables for the statement and data source tests: nulls, blanks,
// deleted rows and sector keys that differ only in case.
#pragma once

#include <string>
#include <vector>

#include "dbf_test_util.h"
#include "store/dbf.h"

namespace fixture {

namespace fs = std::filesystem;
using store::FieldDef;
using store::FieldType;
using store::Row;
using store::Value;

inline const Value null{};

using TempDir = dbftest::ScratchDir;

// Writes a table with the rows given; the rows listed in `deleted` get their
// deletion mark.
inline void makeTable(const fs::path& file, const std::vector<FieldDef>& fields, const std::vector<Row>& rows,
                      const std::vector<std::size_t>& deleted = {}) {
    store::DbfTable::createWithRows(file, fields, rows);
    if (deleted.empty())
        return;
    auto t = store::DbfTable::open(file);
    for (std::size_t d : deleted)
        t->markDeleted(d);
}

// Record 3 is deleted. Keys "IIa", "iia" and "IIA" differ only in case;
// " V" keeps its leading blank; two nulls in CVE_SECTOR, one in IDSECTOR.
inline void writeSector(const fs::path& dir) {
    makeTable(dir / "Sector.dbf",
              {{"IDSECTOR", FieldType::Numeric, 2, 0}, {"CVE_SECTOR", FieldType::Character, 5, 0},
               {"DESCRIPCIO", FieldType::Character, 40, 0}},
              {
                  {1, "X", "ELECTRONICA"},           // 0
                  {2, "IIa", "AUTOMOTRIZ IND"},      // 1
                  {1, null, "SIN CLAVE"},            // 2
                  {1, "II", "BORRADO"},              // 3 deleted
                  {null, "V", "SIN PROGRAMA"},       // 4
                  {1, "iia", "MINUSCULA"},           // 5
                  {2, null, "IND SIN CLAVE"},        // 6
                  {1, "IIa", "AUTOMOTRIZ"},          // 7
                  {2, "XIXc", "QUIMICA"},            // 8
                  {1, "IIA", "MAYUSCULA"},           // 9
                  {1, " V", "BLANCO DELANTE"},       // 10
                  {1, "X", "ELECTRONICA DOS"},       // 11 same key as 0
              },
              {3});
}

// Record 5 is deleted. Blank sector keys read as null (records 2 and 14).
inline void writeMercbi(const fs::path& dir) {
    makeTable(dir / "mercbi.dbf",
              {{"IDSECTOR", FieldType::Character, 5, 0}, {"TIPO_PROGR", FieldType::Numeric, 1, 0},
               {"FRACCION", FieldType::Character, 8, 0}, {"ANEXO", FieldType::Numeric, 1, 0},
               {"DESCRIPCIO", FieldType::Character, 40, 0}, {"TIPOBIEN", FieldType::Numeric, 1, 0}},
              {
                  {"X", 1, "84713001", 1, "COMPUTADORAS", 1},       // 0
                  {"IIa", 1, "87032301", 1, "AUTOS", 1},            // 1
                  {null, 1, "39269099", 1, "SIN SECTOR", 1},        // 2
                  {"X", 1, "85340001", 1, "CIRCUITOS", 2},          // 3
                  {"IIa", 2, "87089999", 2, "PARTES", 2},           // 4
                  {"X", 1, "84713002", 1, "BORRADA", 1},            // 5 deleted
                  {"iia", 1, "87032302", 1, "MINUSCULA", 1},        // 6
                  {"X", null, "84713003", 1, "SIN TIPO PROG", 1},   // 7
                  {"V", 2, "52081101", 2, "TELA", 2},               // 8
                  {"X", 1, "84713000", 1, "ANTES EN ORDEN", 1},     // 9
                  {"X", 1, null, 1, "SIN FRACCION", 1},             // 10
                  {"IIa", 2, "87089998", 2, "ANEXO 2 CLASE 1", 1},  // 11
                  {"X", 0, "11111111", 1, "TIPO PROG CERO", 2},     // 12
                  {"V", 1, "52081102", 1, "SIN CLASE", null},       // 13
                  {"   ", 2, "52081103", 2, "IND SIN SECTOR", 2},   // 14
                  {"IIA", 1, "87032303", 1, "MAYUSCULA", 2},        // 15
              },
              {5});
}

inline void writeProdabas(const fs::path& dir) {
    makeTable(dir / "PRODABAS.DBF",
              {{"SOLZELTAR", FieldType::Character, 10, 0}, {"NOMBRE", FieldType::Character, 60, 0},
               {"RFC", FieldType::Character, 13, 0}, {"FECACTUALI", FieldType::Date, 8, 0}},
              {
                  {null, "ACEROS DEL NORTE", " ANO010101AB1", store::Date{2001, 2, 3}},  // 0
                  {null, "BORRADO", " BOR020202XY2", null},                                // 1 deleted
                  {"0001", "TEXTILES DEL SUR", " TDS030303QW3", null},                     // 2
              },
              {1});
}

inline void writeActivida(const fs::path& dir) {
    makeTable(dir / "activida.dbf",
              {{"CLAVE", FieldType::Numeric, 6, 0}, {"NOUSADO", FieldType::Character, 1, 0},
               {"DESCRIPCIO", FieldType::Character, 60, 0}},
              {{111, null, "CULTIVO DE GRANOS"}, {222, null, "BORRADA"}, {311, null, "INDUSTRIA ALIMENTARIA"},
               {46, null, "COMERCIO AL POR MENOR"}},
              {1});
}

} // namespace fixture
