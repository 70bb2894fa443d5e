// The annexes' key filters and row checks, as case tables against the exact
// message texts, their icons and titles, and their order: one case for each
// rule and each of its edges.
#include "annexes/checks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/keys.h"

using namespace annexes;
using ui::kBackspace, ui::kEnter, ui::kEscape, ui::kTab;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

// A message as the tables write it: its text and its box, 'E' critical
// "Error", 'S' critical "Error, no señalo el sector", 'P' plain under the
// application's title.
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
        out += std::string(m.text)
               + (m.box == 'P'   ? "||\n"
                  : m.box == 'S' ? "|Error, no señalo el sector|critical\n"
                                 : "|Error|critical\n");
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
const char* const kProduce = "Indique en la Ventana de sectores el correspondiente a esta mercancia a producir";
const M kNoSector1{kProduce, 'S'}, kNoSector2{kProduce, 'E'},
    kNoSector3{"Debe señalar en la ventana de sectores el correspondiente al bien a importar", 'P'};

constexpr int kEnye = 0xF1, kEnyeCap = 0xD1;  // ñ, Ñ

}  // namespace

TEST(KeyFilters, CaseTable) {
    // grid: 'R' NumerosRomanos alone, 'S' sector (with the key cell's text), 'G' goods, 'P' producers.
    const struct {
        char grid;
        int column;
        const char* cell;
        int key, want;
    } cases[] = {
        {'R', 0, "", kEscape, kEscape},
        {'R', 0, "", kTab, kTab},
        {'R', 0, "", 'i', 0},
        {'R', 0, "", 'M', 0},
        // Typing into the sector key: numerals in capitals; after the four
        // numerals that need one, any key but I is a sub-item, in lower case.
        {'S', 0, "", 'x', 'X'},
        {'S', 0, "X", 'v', 'V'},
        {'S', 0, "", 'l', 'L'},
        {'S', 0, "XV", 'b', 'b'},
        {'S', 0, "XV", 'i', 'I'},
        {'S', 0, "XIX", 'C', 'c'},
        {'S', 0, "XX", '7', '7'},
        {'S', 0, "II", kEnyeCap, kEnye},
        {'S', 0, "II", kEnter, kEnter},
        {'S', 0, "III", 'a', 0},
        {'S', 0, "xv", 'b', 0},
        {'S', 0, "X", kEnye, 0},
        {'S', 0, "", kEnter, 0},
        {'S', 0, "X", kBackspace, kBackspace},
        // Descriptions in capitals; a capital the tables cannot hold (of ÿ)
        // leaves the letter as typed.
        {'S', 1, "", kEnye, kEnyeCap},
        {'S', 1, "", 0xFF, 0xFF},
        {'S', 1, "", kEnter, kEnter},
        {'S', 2, "", 'a', 'a'},
        // Goods: the fraction takes digits and editing keys only, not Enter.
        {'G', 3, "", '5', '5'},
        {'G', 3, "", 'a', 0},
        {'G', 3, "", kEnter, 0},
        {'G', 4, "", 'a', 'A'},
        {'G', 2, "", 'a', 'a'},
        // Producers: name and RFC in capitals.
        {'P', 1, "", 'a', 'A'},
        {'P', 2, "", kEnye, kEnyeCap},
        {'P', 3, "", 'a', 'a'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.grid) + std::to_string(c.column) + " \"" + c.cell + "\" "
                     + std::to_string(c.key));
        if (c.grid == 'R') {
            EXPECT_EQ(NumerosRomanos(c.key), c.want);
            continue;
        }
        const KeyResult r = c.grid == 'S'   ? sectorKey(c.column, u(c.cell), c.key)
                            : c.grid == 'G' ? goodsKey(c.column, c.key)
                                            : producerKey(c.column, c.key);
        EXPECT_EQ(r.key, c.want);
        EXPECT_EQ(r.sendsTab, c.want == kEnter);
    }
}

TEST(ValidaSector, CaseTable) {
    const struct {
        const char *key, *description;
        std::vector<M> want;
    } cases[] = {
        {"", "", {kNulo, kDesc}},
        {"II", "A", {kII}},
        {"XV", "", {kXV, kDesc}},
        {"XX", "A", {kXX}},
        {"XIX", " \t ", {kXIX, kDesc}},
        {"XIXc", " A ", {}},
        {" ", "A", {}},  // compared as typed
        {"ii", "A", {}},
        {"XV ", "A", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.key + "\" \"" + c.description + "\"");
        expectCheck(ValidaSector(u(c.key), u(c.description)), c.want);
    }
}

TEST(ValidaMercancia, CaseTable) {
    const struct {
        int grid;
        bool extension;
        const char *sector, *fraction;
        std::vector<M> want;
    } cases[] = {
        // An extension's goods to produce only under sector X; nothing else is checked then.
        {0, true, "IIa", "", {kNoFrac}},           {0, true, "X ", "12345678", {kNoFrac}},
        {0, true, "x", "12345678", {kNoFrac}},     {0, true, "X", "", {kFracVacia}},
        {1, true, "IIa", "12345678", {}},          {0, false, "IIa", "12345678", {}},
        {0, false, "", "   ", {kFracVacia}},       {2, false, "I", "", {kFracVacia}},
        {0, false, "I", " 1234567 ", {kFrac8}},    {1, false, "I", "123456789", {kFrac8}},
        {2, false, "I", " 1234567 ", {kFrac8Ind}}, {1, false, "I", " 12345678 ", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.grid) + (c.extension ? " ext \"" : " new \"") + c.sector + "\" \"" + c.fraction
                     + "\"");
        expectCheck(ValidaMercancia(c.grid, c.extension, u(c.sector), u(c.fraction)), c.want);
    }
}

TEST(GoodsGrids, CodesNoSectorNoticesAndAnnex1) {
    const struct {
        int grid, tab, tipoProgr, anexo, tipoBien;
        M notice;
    } grids[] = {
        {0, 0, 1, 1, 1, kNoSector1},
        {1, 0, 1, 1, 2, kNoSector2},
        {2, 1, 2, 2, 2, kNoSector3},
    };
    for (const auto& g : grids) {
        const GoodsCodes c = goodsCodes(g.grid, g.tab);
        EXPECT_EQ(std::vector<int>({c.tipoProgr, c.anexo, c.tipoBien}),
                  std::vector<int>({g.tipoProgr, g.anexo, g.tipoBien}));
        EXPECT_EQ(show(noSectorMessage(g.grid, true, u(""))), show(std::vector<M>{g.notice})) << g.grid;
        EXPECT_EQ(show(noSectorMessage(g.grid, true, u("IIa"))), "") << g.grid;
        // A new programme's goods to produce take no notice.
        EXPECT_EQ(show(noSectorMessage(g.grid, false, u(""))), g.grid == 0 ? "" : show(std::vector<M>{g.notice}));
    }
    EXPECT_TRUE(anexo1Enabled(u("X")));
    for (const char* key : {"", "x", "X ", "XI"})
        EXPECT_FALSE(anexo1Enabled(u(key))) << key;
}

TEST(ValidaRFCIndirecto, CaseTable) {
    // The name is "ACME" unless the RFC text starts with '|': then it is empty.
    const struct {
        const char* rfc;
        std::vector<M> want;
    } cases[] = {
        {" &&&991231005", {}},  // month and day at their bounds; the year not read
        {"    ", {}},           // an empty RFC: no RFC rule runs
        {"|", {kDesc}},
        // Length rules are independent of each other and of the letter rule.
        {"ABC010101XYA", {kSpace}},
        {"|ABCD010101XYA", {kDesc, kLong, kSpace}},
        {" ABC01010", {kShort, kDate}},
        {" ABC010101XYA  ", {kLong}},
        {" A", {kShort, kChar}},  // one past the end reads as a null character
        // Letters: a blank only at 1; capitals by code, or &.
        {" AB1010101XYA", {kChar}},
        {" ÑBC010101XYA", {kChar}},
        {" aBC010101XYA", {kChar}},
        {"1ABC010101XYA", {kLong, kChar}},
        {"&BC010101XYA", {kSpace}},
        // Date; month and day; the check code only when both pass.
        {" ABC0101 1XYA", {kDate}},
        {" ABC010001XYA", {kMonth}},
        {" ABC011301XY&", {kMonth}},
        {" ABC011332XYA", {kMonth, kDay}},
        {" ABC010100XYA", {kDay}},
        {" ABC011232&YA", {kDay}},
        // Check code, then the last position.
        {" ABC010101&YA", {kHomo}},
        {" ABC010101Xa1", {kHomo}},
        {" ABC010101XYa", {kLast}},
        {" ABC010101XY", {kLast}},
        {" ABC010101X", {kShort, kHomo}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.rfc + "\"");
        const QString rfc = u(c.rfc);
        const bool noName = rfc.startsWith(QLatin1Char('|'));
        expectCheck(ValidaRFCIndirecto(noName ? QString() : u("ACME"), noName ? rfc.mid(1) : rfc), c.want);
    }
}
