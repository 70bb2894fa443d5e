// The annexes' key filters and row checks, as case tables against the exact
// message texts, their icons and titles, and their order: one case for each
// rule and each of its edges.
#include "annexes/checks.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "ui/keys.h"

using namespace annexes;
using ui::kBackspace, ui::kEnter, ui::kEscape, ui::kTab;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

// A message as the tables write it: its text and its box, 'E' critical
// "Error", 'P' plain under the application's title.
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
    kXV{"El Sector no puede ser XV falta el inciso a o b", 'E'},
    kXX{"El Sector no puede ser XX falta el inciso a,b,c..", 'E'},
    kXIX{"El Sector no puede ser XIX falta el inciso a,b,c..", 'E'}, kDesc{"La descripción no puede quedar vacia", 'E'},
    kNoFrac{"No debe capturar fraccones para el sector indicado", 'E'},
    kFracVacia{"La Fracción no puede quedar vacia", 'E'}, kFrac8{"La Fracción debe ser de 8 números", 'E'},
    kFrac8Ind{"La fraccion debe ser de 8 números", 'P'},
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
    // The sector key takes numerals in capitals; after the four numerals that need one, any key but I is a
    // sub-item, in lower case. Descriptions in capitals, but for a capital the tables cannot hold (of ÿ). The
    // fraction takes digits and editing keys only, not Enter; the producer's name and RFC go in capitals.
    const std::tuple<char, int, const char*, int, int> cases[] = {
        {'R', 0, "", kEscape, kEscape}, {'R', 0, "", kTab, kTab},      {'R', 0, "", 'i', 0},
        {'R', 0, "", 'M', 0},           {'S', 0, "", 'x', 'X'},        {'S', 0, "X", 'v', 'V'},
        {'S', 0, "", 'l', 'L'},         {'S', 0, "XV", 'b', 'b'},      {'S', 0, "XV", 'i', 'I'},
        {'S', 0, "XIX", 'C', 'c'},      {'S', 0, "XX", '7', '7'},      {'S', 0, "II", kEnyeCap, kEnye},
        {'S', 0, "II", kEnter, kEnter}, {'S', 0, "III", 'a', 0},       {'S', 0, "xv", 'b', 0},
        {'S', 0, "X", kEnye, 0},        {'S', 0, "", kEnter, 0},       {'S', 0, "X", kBackspace, kBackspace},
        {'S', 1, "", kEnye, kEnyeCap},  {'S', 1, "", 0xFF, 0xFF},      {'S', 1, "", kEnter, kEnter},
        {'S', 2, "", 'a', 'a'},         {'G', 3, "", '5', '5'},        {'G', 3, "", 'a', 0},
        {'G', 3, "", kEnter, 0},        {'G', 4, "", 'a', 'A'},        {'G', 2, "", 'a', 'a'},
        {'P', 1, "", 'a', 'A'},         {'P', 2, "", kEnye, kEnyeCap}, {'P', 3, "", 'a', 'a'},
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

TEST(ValidaSector, CaseTable) {
    // The key is compared as typed.
    const std::tuple<const char*, const char*, std::vector<M>> cases[] = {
        {"", "", {kNulo, kDesc}},
        {"II", "A", {kII}},
        {"XV", "", {kXV, kDesc}},
        {"XX", "A", {kXX}},
        {"XIX", " \t ", {kXIX, kDesc}},
        {"XIXc", " A ", {}},
        {" ", "A", {}},
        {"ii", "A", {}},
        {"XV ", "A", {}},
    };
    for (const auto& [key, description, want] : cases) {
        SCOPED_TRACE(std::string("\"") + key + "\" \"" + description + "\"");
        expectCheck(ValidaSector(u(key), u(description)), want);
    }
}

TEST(ValidaMercancia, CaseTable) {
    // An extension's goods to produce only under sector X; nothing else is checked then.
    const std::tuple<int, bool, const char*, const char*, std::vector<M>> cases[] = {
        {0, true, "IIa", "", {kNoFrac}},           {0, true, "X ", "12345678", {kNoFrac}},
        {0, true, "x", "12345678", {kNoFrac}},     {0, true, "X", "", {kFracVacia}},
        {1, true, "IIa", "12345678", {}},          {0, false, "IIa", "12345678", {}},
        {0, false, "", "   ", {kFracVacia}},       {2, false, "I", "", {kFracVacia}},
        {0, false, "I", " 1234567 ", {kFrac8}},    {1, false, "I", "123456789", {kFrac8}},
        {2, false, "I", " 1234567 ", {kFrac8Ind}}, {1, false, "I", " 12345678 ", {}},
    };
    for (const auto& [grid, extension, sector, fraction, want] : cases) {
        SCOPED_TRACE(std::to_string(grid) + (extension ? " ext \"" : " new \"") + sector + "\" \"" + fraction + "\"");
        expectCheck(ValidaMercancia(grid, extension, u(sector), u(fraction)), want);
    }
}

// Only sector "X" takes an extension's goods to produce; a new programme's
// take no notice (the goods' codes and the other no-sector notices are
// checked through the window's grids).
TEST(GoodsGrids, Anexo1OnlyUnderXAndNoNoticeForANewProgramme) {
    EXPECT_TRUE(anexo1Enabled(u("X")));
    for (const char* key : {"", "x", "X ", "XI"})
        EXPECT_FALSE(anexo1Enabled(u(key))) << key;
    EXPECT_TRUE(noSectorMessage(0, false, u("")).empty());
}

TEST(ValidaRFCIndirecto, CaseTable) {
    // The name is "ACME" unless the RFC text starts with '|': then it is empty. An empty RFC runs no RFC rule;
    // the length rules are independent of each other and of the letter rule; one past the end reads as a null
    // character. Letters: a blank only at 1, capitals by code, or &. The month and day bounds pass, the year is
    // not read; the check code is examined only when month and day pass, the last position after it.
    const std::pair<const char*, std::vector<M>> cases[] = {
        {" &&&991231005", {}},
        {"    ", {}},
        {"|", {kDesc}},
        {"ABC010101XYA", {kSpace}},
        {"|ABCD010101XYA", {kDesc, kLong, kSpace}},
        {" ABC01010", {kShort, kDate}},
        {" ABC010101XYA  ", {kLong}},
        {" A", {kShort, kChar}},
        {" AB1010101XYA", {kChar}},
        {" ÑBC010101XYA", {kChar}},
        {" aBC010101XYA", {kChar}},
        {"1ABC010101XYA", {kLong, kChar}},
        {"&BC010101XYA", {kSpace}},
        {" ABC0101 1XYA", {kDate}},
        {" ABC010001XYA", {kMonth}},
        {" ABC011301XY&", {kMonth}},
        {" ABC011332XYA", {kMonth, kDay}},
        {" ABC010100XYA", {kDay}},
        {" ABC011232&YA", {kDay}},
        {" ABC010101&YA", {kHomo}},
        {" ABC010101Xa1", {kHomo}},
        {" ABC010101XYa", {kLast}},
        {" ABC010101XY", {kLast}},
        {" ABC010101X", {kShort, kHomo}},
    };
    for (const auto& [text, want] : cases) {
        SCOPED_TRACE(std::string("\"") + text + "\"");
        const QString rfc = u(text);
        const bool noName = rfc.startsWith(QLatin1Char('|'));
        expectCheck(ValidaRFCIndirecto(noName ? QString() : u("ACME"), noName ? rfc.mid(1) : rfc), want);
    }
}
