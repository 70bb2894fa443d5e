// The layouts of the seven tables. The field order is part of the external
// format: the windows and the questionnaire reach several fields by position,
// and the receiving office reads the copied tables as they are.
#include "store/schema.h"

#include <algorithm>
#include <cctype>

#include "store/text.h"

namespace store {

namespace {

FieldDef C(const char* name, int length) { return {name, FieldType::Character, length, 0}; }
FieldDef N(const char* name, int length, int decimals = 0) { return {name, FieldType::Numeric, length, decimals}; }
FieldDef D(const char* name) { return {name, FieldType::Date, 8, 0}; }

std::vector<TableLayout> makeLayouts() {
    std::vector<TableLayout> t;

    // datoprov: one record; positions 15, 20, 21, 22, 28, 30 and 31 are read
    // and written by position, so they must stay where they are.
    t.push_back({"datoprov",
                 {
                     C("RFC", 13),         // 0: company RFC keeps its leading blank
                     C("PROG1P", 4),       // 1
                     C("PROG2P", 4),       // 2
                     C("ACREDITA", 10),    // 3
                     C("APEPATRAZ", 100),  // 4
                     C("APEMAT", 25),      // 5
                     C("NOMBRE", 25),      // 6
                     C("EMAIL", 50),       // 7
                     C("CALLEYNO", 254),   // 8
                     C("COLONIA", 30),     // 9
                     C("CP", 5),           // 10
                     C("ESTADO", 30),      // 11
                     C("CIUDAD", 60),      // 12
                     C("DELMUN", 40),      // 13
                     C("TELEFONO", 15),    // 14
                     N("TIPOTRAM", 1),     // 15: 1 new programme, 2 extension
                     C("FAX", 15),         // 16
                     C("APEPREPLEG", 25),  // 17
                     C("APEMREPLEG", 25),  // 18
                     C("NOMBREREPL", 25),  // 19
                     C("CAMPO20", 2),      // 20: always the text "14"
                     N("TIPOPROG", 1),     // 21: sum of the flags 1, 2, 4
                     N("CVEACTIVID", 6),   // 22: code of activida
                     C("CARGO", 60),       // 23
                     C("TEL_REPREG", 25),  // 24
                     C("FAXREP", 25),      // 25
                     C("EMAILREPL", 50),   // 26
                     C("RESERVA1", 10),    // 27: unused, keeps 28 in place
                     N("CVEADMLOC", 3),    // 28: code of admlocal
                     C("RESERVA2", 10),    // 29: unused, keeps 30 in place
                     N("NUMMAQUILA", 6),   // 30
                     N("ANOMAQUILA", 4),   // 31
                 }});

    // catdirpl: the questionnaire reads positions 0 to 7. CP holds one digit
    // more than a postal code, as much as its grid cell takes: a sixth digit
    // left from another column is stored, not lost. Older tables with five
    // are read and written as they are.
    t.push_back({"catdirpl",
                 {
                     C("CALLE", 100),
                     C("CP", 6),
                     C("COLONIA", 30),
                     C("ESTADO", 30),
                     C("MUNICIPIO", 40),
                     C("CIUDAD", 60),
                     C("TEL", 15),
                     C("FAX", 15),
                 }});

    // sector: the questionnaire reads positions 1 and 2.
    t.push_back({"sector",
                 {
                     N("IDSECTOR", 1),     // 1 direct producer, 2 indirect producer
                     C("CVE_SECTOR", 10),  // Roman numeral with its sub-item letter
                     C("DESCRIPCIO", 254),
                 }});

    // mercbi: the questionnaire reads positions 0, 2 and 12; position 2 is
    // printed for each good, so it holds the eight-digit fraction.
    t.push_back({"mercbi",
                 {
                     C("IDSECTOR", 10),     // 0
                     N("TIPO_PROGR", 1),    // 1
                     C("FRACCION", 8),      // 2
                     N("ANEXO", 1),         // 3
                     C("DESCRIPCIO", 254),  // 4
                     C("RESERVA1", 10),     // 5 to 11: unused, keep 12 in place
                     C("RESERVA2", 10), C("RESERVA3", 10), C("RESERVA4", 10), C("RESERVA5", 10), C("RESERVA6", 10),
                     C("RESERVA7", 10), N("TIPOBIEN", 1),  // 12
                 }});

    // prodabas: the annex-3 grid shows the fields in this order.
    t.push_back({"prodabas",
                 {
                     C("SOLZELTAR", 10),
                     C("NOMBRE", 100),
                     C("RFC", 13),
                     D("FECACTUALI"),
                 }});

    // Catalogues, read in file order by position.
    t.push_back({"admlocal",
                 {
                     N("CLAVE", 3),
                     C("NOMBRE", 80),
                 }});
    t.push_back({"activida",
                 {
                     N("CLAVE", 6),
                     C("NOUSADO", 10),  // position 1 is not read
                     C("DESCRIPCIO", 80),
                 }});
    return t;
}

}  // namespace

const std::vector<TableLayout>& tableLayouts() {
    static const std::vector<TableLayout> layouts = makeLayouts();
    return layouts;
}

const TableLayout& tableLayout(const std::string& name) {
    std::string key = upperAscii(name);
    if (key.size() > 4 && key.compare(key.size() - 4, 4, ".DBF") == 0)
        key.resize(key.size() - 4);
    for (const auto& layout : tableLayouts())
        if (upperAscii(layout.name) == key)
            return layout;
    throw StoreError("La tabla " + name + " no es una tabla del directorio de datos.");
}

}  // namespace store
