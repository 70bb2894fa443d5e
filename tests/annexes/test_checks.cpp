// The annexes' key filters and row checks, as case tables against the exact
// message texts, their icons and titles, and their order.
#include "annexes/checks.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

using namespace annexes;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

std::string show(const std::vector<Message>& ms) {
    std::string out;
    for (const auto& m : ms)
        out += "[" + m.text.toStdString() + "|" + m.title.toStdString() + "|" + (m.critical ? "critical" : "plain") + "] ";
    return out;
}

// A message as the tables below write it: its text, and 'E' for the
// critical "Error" box or 'P' for a plain box under the application's title.
struct M {
    const char* text;
    char kind;
};
std::vector<Message> boxes(const std::vector<M>& ms) {
    std::vector<Message> out;
    for (const M& m : ms)
        out.push_back(m.kind == 'E' ? Message{u(m.text), u("Error"), true} : Message{u(m.text), QString(), false});
    return out;
}

void expectCheck(const RowCheck& r, const std::vector<M>& want) {
    EXPECT_EQ(show(r.messages), show(boxes(want)));
    EXPECT_EQ(r.cancel, !want.empty());
}

const M kNulo{"El Sector no puede ser nulo", 'E'};
const M kII{"El Sector no puede ser II falta el inciso a o b", 'E'};
const M kXV{"El Sector no puede ser XV falta el inciso a o b", 'E'};
const M kXX{"El Sector no puede ser XX falta el inciso a,b,c..", 'E'};
const M kXIX{"El Sector no puede ser XIX falta el inciso a,b,c..", 'E'};
const M kDesc{"La descripción no puede quedar vacia", 'E'};
const M kNoFrac{"No debe capturar fraccones para el sector indicado", 'E'};
const M kFracVacia{"La Fracción no puede quedar vacia", 'E'};
const M kFrac8{"La Fracción debe ser de 8 números", 'E'};
const M kFrac8Ind{"La fraccion debe ser de 8 números", 'P'};

const M kShort{"El RFC tiene menos de 12 caracteres o falta un espacio al inicio", 'P'};
const M kLong{"El RFC tiene mas de 12 caracteres", 'P'};
const M kChar{"Existe un caracter no permitido en su RFC", 'P'};
const M kSpace{"El RFC necesita un espacio al inicio", 'P'};
const M kDate{"Existe un caracter no permitido en la fecha del RFC", 'P'};
const M kMonth{"El mes de su RFC no es valido", 'P'};
const M kDay{"El dia de su RFC no es valido", 'P'};
const M kHomo{"La homoclave de su RFC tiene un caracter no pernmitido", 'P'};
const M kLast{"Error en el ultimo digito de la homoclave", 'P'};

constexpr int kEnter = 13, kEsc = 27, kBack = 8, kTab = 9;
constexpr int kEnye = 0xF1, kEnyeCap = 0xD1;  // ñ, Ñ

} // namespace

TEST(NumerosRomanos, PassesOnlyCapitalNumeralLettersAndEditingKeys) {
    for (int code : std::initializer_list<int>{'V', 'I', 'X', 'L', kEsc, kBack, kTab})
        EXPECT_EQ(NumerosRomanos(code), code) << code;
    for (int code : std::initializer_list<int>{'i', 'v', 'x', 'l', 'C', 'D', 'M', 'A', '0', '9', kEnter, ' ', kEnyeCap, 0, -1, 0x10000})
        EXPECT_EQ(NumerosRomanos(code), 0) << code;
}

TEST(SectorKey, CaseTable) {
    const struct { int column; const char* cell; int key; int want; } cases[] = {
        // Typing x, then v, then b or I into an empty key cell.
        {0, "", 'x', 'X'}, {0, "X", 'v', 'V'}, {0, "XV", 'b', 'b'}, {0, "XV", 'I', 'I'},
        {0, "XV", 'i', 'I'}, {0, "XV", 'B', 'b'},
        // After the four numerals any key is a sub-item, typed in lower case.
        {0, "II", 'c', 'c'}, {0, "XIX", 'C', 'c'}, {0, "XX", 'a', 'a'}, {0, "XX", 'V', 'v'},
        {0, "XX", '7', '7'}, {0, "XV", kEnyeCap, kEnye}, {0, "II", kBack, kBack},
        {0, "II", kEnter, kEnter},
        // Elsewhere only the numeral letters in either case and editing keys.
        {0, "III", 'a', 0}, {0, "IIa", 'b', 0}, {0, "xv", 'b', 0}, {0, "XV ", 'b', 0},
        {0, "", 'l', 'L'}, {0, "", 'c', 0}, {0, "", '1', 0}, {0, "X", kEnye, 0},
        {0, "", kEnter, 0}, {0, "X", kEsc, kEsc}, {0, "X", kBack, kBack}, {0, "", kTab, kTab},
        // The description is typed in capitals, accented letters too.
        {1, "", 'a', 'A'}, {1, "", kEnye, kEnyeCap}, {1, "", 0xE9, 0xC9}, {1, "", '5', '5'},
        {1, "", kEnter, kEnter}, {1, "", 'Z', 'Z'},
        // A capital the tables cannot hold leaves the letter as typed (ÿ, µ).
        {1, "", 0xFF, 0xFF}, {1, "", 0xB5, 0xB5},
        // Other columns are left alone.
        {2, "", 'a', 'a'}, {2, "XV", kEnter, kEnter},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.column) + " \"" + c.cell + "\" " + std::to_string(c.key));
        const KeyResult r = sectorKey(c.column, u(c.cell), c.key);
        EXPECT_EQ(r.key, c.want);
        EXPECT_EQ(r.sendsTab, c.want == kEnter);
    }
}

TEST(GoodsAndProducerKeys, CaseTable) {
    const struct { bool producer; int column; int key; int want; } cases[] = {
        // Fraction: digits and editing keys only; Enter is swallowed.
        {false, 3, '5', '5'}, {false, 3, 'a', 0}, {false, 3, 'A', 0}, {false, 3, kEnter, 0},
        {false, 3, kBack, kBack}, {false, 3, kTab, kTab}, {false, 3, kEsc, kEsc}, {false, 3, ' ', 0},
        {false, 4, 'a', 'A'}, {false, 4, kEnye, kEnyeCap}, {false, 4, kEnter, kEnter},
        {false, 2, 'a', 'a'}, {false, 0, kEnter, kEnter}, {false, 5, 'x', 'x'},
        // Register of producers: name and RFC in capitals.
        {true, 1, 'a', 'A'}, {true, 2, kEnye, kEnyeCap}, {true, 2, '&', '&'}, {true, 2, kEnter, kEnter},
        {true, 0, 'a', 'a'}, {true, 3, 'a', 'a'}, {true, 3, kEnter, kEnter},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.producer ? "producer " : "goods ") + std::to_string(c.column) + " " + std::to_string(c.key));
        const KeyResult r = c.producer ? producerKey(c.column, c.key) : goodsKey(c.column, c.key);
        EXPECT_EQ(r.key, c.want);
        EXPECT_EQ(r.sendsTab, c.want == kEnter);
    }
}

TEST(ValidaSector, CaseTable) {
    const struct { const char* clave; const char* desc; std::vector<M> want; } cases[] = {
        {"", "", {kNulo, kDesc}}, {"", "ACERO", {kNulo}},
        {"II", "ACERO", {kII}}, {"XV", "", {kXV, kDesc}}, {"XX", "A", {kXX}}, {"XIX", "  ", {kXIX, kDesc}},
        {"X", "ACERO", {}}, {"IIa", "A", {}}, {"XVb", "A", {}}, {"XIXc", "A", {}}, {"XVI", "A", {}},
        // Compared as typed: only the exact bare numerals are rejected.
        {" ", "A", {}}, {"ii", "A", {}}, {"XV ", "A", {}},
        {"X", " \t ", {kDesc}}, {"X", " A ", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.clave + "\" \"" + c.desc + "\"");
        expectCheck(ValidaSector(u(c.clave), u(c.desc)), c.want);
    }
}

TEST(ValidaMercancia, CaseTable) {
    const struct { int grid; bool extension; const char* sector; const char* fraccion; std::vector<M> want; } cases[] = {
        // An extension's goods to produce only under sector X; nothing else is checked.
        {0, true, "IIa", "", {kNoFrac}}, {0, true, "", "123", {kNoFrac}}, {0, true, "x", "12345678", {kNoFrac}},
        {0, true, "X ", "12345678", {kNoFrac}}, {0, true, "X", "12345678", {}}, {0, true, "X", "", {kFracVacia}},
        {1, true, "IIa", "12345678", {}}, {1, true, "", "", {kFracVacia}}, {2, true, "", "12345678", {}},
        {0, false, "IIa", "12345678", {}}, {0, false, "", "", {kFracVacia}},
        // Empty, then length after trimming; the third grid's own text and box.
        {0, false, "I", "   ", {kFracVacia}}, {2, false, "I", "", {kFracVacia}},
        {0, false, "I", " 1234567 ", {kFrac8}}, {1, false, "I", "123456789", {kFrac8}},
        {2, false, "I", " 1234567 ", {kFrac8Ind}}, {2, false, "I", "1", {kFrac8Ind}},
        {1, false, "I", " 12345678 ", {}}, {2, false, "I", "12345678", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.grid) + (c.extension ? " ext \"" : " new \"") + c.sector + "\" \"" + c.fraccion + "\"");
        expectCheck(ValidaMercancia(c.grid, c.extension, u(c.sector), u(c.fraccion)), c.want);
    }
}

TEST(GoodsCodes, EachGridFallsInItsOwnRowSet) {
    const struct { int grid, tab, tipoProgr, anexo, tipoBien; } cases[] = {
        {0, 0, 1, 1, 1}, {1, 0, 1, 1, 2}, {2, 1, 2, 2, 2},
    };
    for (const auto& c : cases) {
        const GoodsCodes g = goodsCodes(c.grid, c.tab);
        EXPECT_EQ(g.tipoProgr, c.tipoProgr) << c.grid;
        EXPECT_EQ(g.anexo, c.anexo) << c.grid;
        EXPECT_EQ(g.tipoBien, c.tipoBien) << c.grid;
    }
}

TEST(NoSectorMessage, CaseTable) {
    const QString produce = u("Indique en la Ventana de sectores el correspondiente a esta mercancia a producir");
    const Message ext{produce, u("Error, no señalo el sector"), true};
    const Message toImport{produce, u("Error"), true};
    const Message indirect{u("Debe señalar en la ventana de sectores el correspondiente al bien a importar"), QString(), false};
    const struct { int grid; bool extension; const char* sector; std::vector<Message> want; } cases[] = {
        {0, false, "", {}}, {0, true, "", {ext}}, {0, true, "IIa", {}},
        {1, false, "", {toImport}}, {1, true, "", {toImport}}, {1, false, "X", {}},
        {2, false, "", {indirect}}, {2, true, "", {indirect}}, {2, false, "IIa", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.grid) + (c.extension ? " ext \"" : " new \"") + c.sector + "\"");
        EXPECT_EQ(show(noSectorMessage(c.grid, c.extension, u(c.sector))), show(c.want));
    }
}

TEST(Anexo1Enabled, OnlyUnderSectorX) {
    EXPECT_TRUE(anexo1Enabled(u("X")));
    for (const char* key : {"", "x", "X ", " X", "XV", "IIa", "XI"})
        EXPECT_FALSE(anexo1Enabled(u(key))) << key;
}

TEST(ValidaRFCIndirecto, CaseTable) {
    const struct { const char* nombre; const char* rfc; std::vector<M> want; } cases[] = {
        {"ACME", " ABC010101XYA", {}}, {"ACME", " &&&991231005", {}}, {"ACME", " ABC010231A1A", {}},
        {"ACME", " ZZZ001201Z9A", {}},
        // Empty RFC: no RFC rule runs; the name rule does.
        {"ACME", "", {}}, {"ACME", "    ", {}}, {"", "", {kDesc}}, {"  ", "  ", {kDesc}},
        // Length rules are independent of each other and of the letter rule.
        {"ACME", "ABC010101XYA", {kSpace}}, {"ACME", "ABCD010101XYA", {kLong, kSpace}},
        {"", "ABCD010101XYA", {kDesc, kLong, kSpace}},
        {"ACME", " ABC01010", {kShort, kDate}}, {"ACME", " ABC010101XYA9", {kLong}},
        {"ACME", " ABC010101XYA  ", {kLong}}, {"ACME", " A", {kShort, kChar}},
        // Letter positions: a blank only at 1; capitals by code, or &.
        {"ACME", " AB 010101XYA", {kChar}}, {"ACME", " A C991399XYA", {kChar}},
        {"ACME", "  ABC010101XY", {kChar}}, {"ACME", " aBC010101XYA", {kChar}},
        {"ACME", " ÑBC010101XYA", {kChar}},
        {"ACME", " AB1010101XYA", {kChar}}, {"ACME", "1ABC010101XYA", {kLong, kChar}},
        {"ACME", "&BC010101XYA", {kSpace}},
        // Date positions; month and day; the check code only when both pass.
        {"ACME", " ABC01A101XYA", {kDate}}, {"ACME", " ABC0101 1XYA", {kDate}},
        {"ACME", " ABC010001XYA", {kMonth}}, {"ACME", " ABC011301XY&", {kMonth}},
        {"ACME", " ABC011332XYA", {kMonth, kDay}}, {"ACME", " ABC011232&YA", {kDay}},
        {"ACME", " ABC010100XYA", {kDay}}, {"ACME", " ABC000131XYA", {}},  // the year is not examined
        // Check code, then the last position.
        {"ACME", " ABC010101&YA", {kHomo}}, {"ACME", " ABC010101X&&", {kHomo}},
        {"ACME", " ABC010101xYA", {kHomo}}, {"ACME", " ABC010101XYB", {kLast}},
        {"ACME", " ABC010101XY&", {kLast}}, {"ACME", " ABC010101XYa", {kLast}},
        {"ACME", " ABC010101XY", {kLast}}, {"ACME", " ABC010101XY ", {kLast}},
        {"ACME", " ABC010101X", {kShort, kHomo}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.nombre + "\" \"" + c.rfc + "\"");
        expectCheck(ValidaRFCIndirecto(u(c.nombre), u(c.rfc)), c.want);
    }
}
