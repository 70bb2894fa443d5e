// The annexes' key filters and row checks: exact texts, boxes and order, a case per rule and edge.
#include "annexes/checks.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "ui/keys.h"

using namespace annexes;
using ui::kBackspace, ui::kEnter, ui::kEscape;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

// A message's text and box: 'E' critical "Error", 'P' plain under the application's title.
struct M {
    const char* text;
    char box;
};

std::string show(const std::vector<Message>& ms) {
    std::string out;
    for (const auto& m : ms)
        out += m.text.toStdString() + "|" + m.title.toStdString() + (m.critical ? "|critical\n" : "|\n");
    return out;
}
std::string show(const std::vector<M>& ms) {
    std::string out;
    for (const M& m : ms)
        out += std::string(m.text) + (m.box == 'P' ? "||\n" : "|Error|critical\n");
    return out;
}
void expectCheck(const RowCheck& r, const std::vector<M>& want) {
    EXPECT_EQ(show(r.messages), show(want));
    EXPECT_EQ(r.cancel, !want.empty());
}

const M kNulo{"El Sector no puede ser nulo", 'E'}, kII{"El Sector no puede ser II falta el inciso a o b", 'E'},
    kXX{"El Sector no puede ser XX falta el inciso a,b,c..", 'E'},
    kXIX{"El Sector no puede ser XIX falta el inciso a,b,c..", 'E'}, kDesc{"La descripción no puede quedar vacia", 'E'},
    kNoFrac{"No debe capturar fraccones para el sector indicado", 'E'},
    kFracVacia{"La Fracción no puede quedar vacia", 'E'}, kFrac8{"La Fracción debe ser de 8 números", 'E'},
    kShort{"El RFC tiene menos de 12 caracteres o falta un espacio al inicio", 'P'},
    kLong{"El RFC tiene mas de 12 caracteres", 'P'}, kChar{"Existe un caracter no permitido en su RFC", 'P'},
    kSpace{"El RFC necesita un espacio al inicio", 'P'},
    kDate{"Existe un caracter no permitido en la fecha del RFC", 'P'}, kMonth{"El mes de su RFC no es valido", 'P'},
    kDay{"El dia de su RFC no es valido", 'P'}, kHomo{"La homoclave de su RFC tiene un caracter no pernmitido", 'P'},
    kLast{"Error en el ultimo digito de la homoclave", 'P'};

constexpr int kEnye = 0xF1, kEnyeCap = 0xD1;  // ñ, Ñ

}  // namespace

TEST(KeyFilters, CaseTable) {
    // grid: 'R' NumerosRomanos alone, 'S' sector (with the key cell's text), 'G' goods, 'P' producers.
    const std::tuple<char, int, const char*, int, int> cases[] = {
        {'R', 0, "", kEscape, kEscape}, {'R', 0, "", 'i', 0},      {'R', 0, "", 'M', 0},
        {'S', 0, "X", 'v', 'V'},        {'S', 0, "XIX", 'C', 'c'}, {'S', 0, "II", kEnter, kEnter},
        {'S', 0, "xv", 'b', 0},         {'S', 0, "", kEnter, 0},   {'S', 0, "X", kBackspace, kBackspace},
        {'S', 1, "", kEnye, kEnyeCap},  {'S', 1, "", 0xFF, 0xFF},  {'S', 1, "", kEnter, kEnter},
        {'S', 2, "", 'a', 'a'},         {'G', 3, "", kEnter, 0},   {'G', 2, "", 'a', 'a'},
        {'P', 2, "", kEnye, kEnyeCap},  {'P', 3, "", 'a', 'a'},
    };
    for (const auto& [grid, column, cell, key, want] : cases) {
        SCOPED_TRACE(std::string(1, grid) + std::to_string(column) + " \"" + cell + "\" " + std::to_string(key));
        if (grid == 'R') {
            EXPECT_EQ(NumerosRomanos(key), want);
            continue;
        }
        const KeyResult r = grid == 'S'   ? sectorKey(column, u(cell), key)
                            : grid == 'G' ? goodsKey(column, key)
                                          : producerKey(column, key);
        EXPECT_EQ(r.key, want);
        EXPECT_EQ(r.sendsTab, want == kEnter);
    }
}

TEST(RowChecks, CaseTable) {
    // 'S' ValidaSector(key, description), compared as typed; 'M' ValidaMercancia(grid, extension, sector, fraction),
    // an extension's goods to produce only under X; 'R' ValidaRFCIndirecto(name, RFC).
    const std::tuple<char, int, bool, const char*, const char*, std::vector<M>> cases[] = {
        {'S', 0, false, "", "", {kNulo, kDesc}},
        {'S', 0, false, "II", "A", {kII}},
        {'S', 0, false, "XX", "A", {kXX}},
        {'S', 0, false, "XIX", " \t ", {kXIX, kDesc}},
        {'S', 0, false, "XV ", "A", {}},
        {'M', 0, true, "X ", "", {kNoFrac}},
        {'M', 0, true, "X", "", {kFracVacia}},
        {'M', 1, true, "IIa", "12345678", {}},
        {'M', 0, false, "", "   ", {kFracVacia}},
        {'M', 2, false, "I", "", {kFracVacia}},
        {'M', 1, false, "I", "123456789", {kFrac8}},
        {'M', 1, false, "I", " 12345678 ", {}},
        {'R', 0, false, "ACME", " &&&991231005", {}},
        {'R', 0, false, "ACME", "    ", {}},
        {'R', 0, false, "", "ABCD010101XYA", {kDesc, kLong, kSpace}},
        {'R', 0, false, "ACME", " ABC01010", {kShort, kDate}},
        {'R', 0, false, "ACME", " ÑBC010101XYA", {kChar}},
        {'R', 0, false, "ACME", " ABC011301XY&", {kMonth}},
        {'R', 0, false, "ACME", " ABC011332XYA", {kMonth, kDay}},
        {'R', 0, false, "ACME", " ABC010101Xa1", {kHomo}},
        {'R', 0, false, "ACME", " ABC010101XYa", {kLast}},
    };
    for (const auto& [check, grid, extension, a, b, want] : cases) {
        SCOPED_TRACE(std::string(1, check) + std::to_string(grid) + " \"" + a + "\" \"" + b + "\"");
        expectCheck(check == 'S'   ? ValidaSector(u(a), u(b))
                    : check == 'M' ? ValidaMercancia(grid, extension, u(a), u(b))
                                   : ValidaRFCIndirecto(u(a), u(b)),
                    want);
    }
}
