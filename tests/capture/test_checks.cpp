// The main window's checks and key filters, case tables against the exact
// message texts and the flags each check hands back to the window.
#include "capture/checks.h"

#include <gtest/gtest.h>

#include <QString>

#include <functional>
#include <limits>
#include <set>
#include <string>
#include <vector>

using namespace capture;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

std::string show(const std::vector<Message>& ms) {
    std::string out;
    for (const auto& m : ms)
        out += "[" + m.text.toStdString() + "|" + m.title.toStdString() + "|"
               + (m.critical ? "critical" : "plain") + "] ";
    return out;
}

// ---------------------------------------------------------------- RFC check

const char* const kLength = "El RFC no puede ser menor de 13";
const char* const kFirst = "El primer digito del RFC debe espacio ";
const char* const kLetter2 = "El  2 digito del RFC debe ser letra ";
const char* const kLetter3 = "El  3 digito del RFC debe ser letra ";
const char* const kMonth = "El valor del mes del RFC es incorrecto";
const char* const kDay = "El valor del dia del RFC es incorrecto";
const char* const kLast = "El ultimo digito del RFC debe ser A ó del 0 al 9";

struct RfcCase {
    const char* name;
    const char* text;
    std::vector<const char*> messages;
    bool valid;
    bool callsHabilita;
};

const RfcCase kRfcCases[] = {
    {"empty box, 13 blanks", "             ", {kLength}, false, false},
    {"empty text", "", {kLength}, false, false},
    {"only the 13th position empty", " ABC010101XY ", {kLength}, false, false},
    {"length fault hides every other fault", "Xab991399xy  ", {kLength}, false, false},
    {"twelve characters read as a blank 13th", " ABC010101XY", {kLength}, false, false},
    {"company RFC ending in A", " ABC010101XYA", {}, true, true},
    {"company RFC ending in a digit", " ABC050615K29", {}, true, true},
    {"month 12 and day 31 are the bounds", " ABC991231005", {}, true, true},
    {"digit at position 4", " AB1010101XYA", {}, true, true},
    {"ampersand at positions 2 and 3", " &&A010101XYA", {}, true, true},
    {"month 00 passes", " ABC010001XYA", {}, true, true},
    {"day 00 passes", " ABC010100XYA", {}, true, true},
    {"month and day 00 pass", " ABC000000XY0", {}, true, true},
    {"month with a blank before its digit", " ABC01 101XYA", {}, true, true},
    {"month with a blank after its digit", " ABC011 01XYA", {}, true, true},
    {"blank month and day read as 0", " ABC01    XYA", {}, true, true},
    {"text longer than the box keeps 13 positions", " ABC010101XYAZZ", {}, true, true},
    {"no leading blank", "ABCD010101XYA", {kFirst}, false, true},
    {"no leading blank skips the letter rule", "A1bD010101XYA", {kFirst}, false, true},
    {"no leading blank, later rules still run", "ABCD011301XYA", {kFirst, kMonth}, false, true},
    {"every rule after the length fails", "XabC011332XYa", {kFirst, kMonth, kDay, kLast}, false, true},
    {"lower-case letter at position 2", " aBC010101XYA", {kLetter2}, false, true},
    {"lower-case letter at position 3", " AbC010101XYA", {kLetter3}, false, true},
    {"faults at 2 and 3 report position 2 only", " ab1010101XYA", {kLetter2}, false, true},
    {"digit at position 2", " 1BC010101XYA", {kLetter2}, false, true},
    {"blank at position 3", " A C010101XYA", {kLetter3}, false, true},
    {"N with tilde at position 2", " ÑBC010101XYA", {kLetter2}, false, true},
    {"lower-case at position 4 is not examined", " ABc010101XYA", {}, true, true},
    {"month 13", " ABC011301XYA", {kMonth}, false, true},
    {"day 32", " ABC010132XYA", {kDay}, false, true},
    {"month 13 and day 32, month first", " ABC011332XYA", {kMonth, kDay}, false, true},
    {"month 99 and day 99", " ABC019999XYA", {kMonth, kDay}, false, true},
    {"letter fault then month fault", " 1BC011301XYA", {kLetter2, kMonth}, false, true},
    {"last character lower-case a", " ABC010101XYa", {kLast}, false, true},
    {"last character B", " ABC010101XYB", {kLast}, false, true},
    {"last character ampersand", " ABC010101XY&", {kLast}, false, true},
};

TEST(ValidaRfc, CaseTable) {
    for (const auto& c : kRfcCases) {
        SCOPED_TRACE(std::string(c.name) + ": \"" + c.text + "\"");
        const RfcResult r = validaRfc(u(c.text));
        std::vector<Message> expected;
        for (const char* m : c.messages)
            expected.push_back(Message{u(m), QString(), false});
        EXPECT_EQ(r.messages, expected) << show(r.messages);
        EXPECT_EQ(r.valid, c.valid);
        EXPECT_EQ(r.refocus, !c.valid);  // every fault sends the focus back
        EXPECT_EQ(r.callsHabilita, c.callsHabilita);
    }
}

TEST(ValidaRfc, CompanyRule) {
    const struct {
        const char* text;
        bool company;
    } cases[] = {
        {"", true}, {" ", true}, {" ABC010101XYA", true}, {"ABCD010101XYA", false}, {"a", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(rfcIsCompany(u(c.text)), c.company);
    }
}

// ------------------------------------------------------------------- valida

struct ValidaCase {
    const char* name;
    ValidaInput in;
    const char* message;  // nullptr: no message
    bool fault;
};

ValidaInput vi(bool rfc, int prod, int ind, int abas, int combo, const char* p1, const char* p2) {
    ValidaInput in;
    in.rfcValid = rfc;
    in.chkProdFinal = prod;
    in.chkrodIndirecto = ind;
    in.chkAbastecedor = abas;
    in.combo1Index = combo;
    in.prog1 = u(p1);
    in.prog2 = u(p2);
    return in;
}

const char* const kTipo = "Seleccione un tipo de programa";
const char* const kAmbos = "Es necesario el año y número de programa";
const char* const kAnioCero = "El año de zeltar no puede ser cero";
const char* const kAnio1980 = "El año de zeltar no puede ser menor a 1980";
const char* const kNumCero = "El número de zeltar no puede ser cero";

const ValidaCase kValidaCases[] = {
    {"invalid RFC: fault with no message of its own", vi(false, 1, 0, 0, 0, "", ""), nullptr, true},
    {"invalid RFC stops before the programme type", vi(false, 0, 0, 0, 1, "", ""), nullptr, true},
    {"no programme type", vi(true, 0, 0, 0, 0, "", ""), kTipo, true},
    {"no programme type stops before the year", vi(true, 0, 0, 0, 1, "", ""), kTipo, true},
    {"grey check box counts as a programme type", vi(true, 2, 0, 0, 0, "", ""), nullptr, false},
    {"only Abastecedor ticked", vi(true, 0, 0, 1, 0, "", ""), nullptr, false},
    {"only Productor Indirecto ticked", vi(true, 0, 1, 0, 0, "", ""), nullptr, false},
    {"new programme ignores year and number", vi(true, 1, 0, 0, 0, "1979", "0"), nullptr, false},
    {"new programme ignores empty year and number", vi(true, 1, 0, 0, 0, "", ""), nullptr, false},
    {"no procedure selected ignores year and number", vi(true, 1, 0, 0, -1, "", ""), nullptr, false},
    {"extension, 1979 and 5", vi(true, 1, 0, 0, 1, "1979", "5"), kAnio1980, true},
    {"extension, 1980 and 0", vi(true, 1, 0, 0, 1, "1980", "0"), kNumCero, true},
    {"extension, 1980 and empty number", vi(true, 1, 0, 0, 1, "1980", ""), kNumCero, true},
    {"extension, both empty", vi(true, 1, 0, 0, 1, "", ""), kAmbos, true},
    {"extension, both 0", vi(true, 1, 0, 0, 1, "0", "0000"), kAmbos, true},
    {"extension, both blanks", vi(true, 1, 0, 0, 1, "    ", "  "), kAmbos, true},
    {"extension, year empty and number 12", vi(true, 1, 0, 0, 1, "", "12"), kAnioCero, true},
    {"extension, year of letters reads 0", vi(true, 1, 0, 0, 1, "ABCD", "12"), kAnioCero, true},
    {"extension, small year with number 0", vi(true, 1, 0, 0, 1, "500", "0"), kAnio1980, true},
    {"extension, 1980 and 1", vi(true, 1, 0, 0, 1, "1980", "1"), nullptr, false},
    {"extension, 2004 and 9999", vi(true, 0, 0, 1, 1, "2004", "9999"), nullptr, false},
    {"extension, blanks around the numbers", vi(true, 1, 0, 0, 1, " 1990", "12 "), nullptr, false},
    {"extension, blank between the digits", vi(true, 1, 0, 0, 1, "19 90", "1 2"), nullptr, false},
    {"extension, number stops at a letter", vi(true, 1, 0, 0, 1, "1990", "7X"), nullptr, false},
    {"extension, negative number reads 0", vi(true, 1, 0, 0, 1, "1990", "-5"), kNumCero, true},
    {"extension, negative year reads 0", vi(true, 1, 0, 0, 1, "-1990", "5"), kAnioCero, true},
};

TEST(Valida, CaseTable) {
    for (const auto& c : kValidaCases) {
        SCOPED_TRACE(c.name);
        const ValidaResult r = valida(c.in);
        std::vector<Message> expected;
        if (c.message)
            expected.push_back(Message{u(c.message), QString(), false});
        EXPECT_EQ(r.messages, expected) << show(r.messages);
        EXPECT_EQ(r.fault, c.fault);
    }
}

// --------------------------------------------------------- ValidaRequeridos

const char* const kRequeridos[14] = {
    nullptr,
    "El año del registro ZELTAR es un dato requerido",
    "El numero del registro ZELTAR es un dato requerido",
    "La razón social de la empresa es un dato requerido",
    "La calle de la empresa es un dato requerido",
    "El codigo postal de la empresa es un dato requerido",
    "La colonia de la empresa es un dato requerido",
    "El telefono de la empresa es un dato requerido",
    "La administracion de recaudación de la empresa es un dato requerido",
    "El tipo de programa de la empresa es un dato requerido",
    "El nombre del representante legal es un dato requerido",
    "El cargo del representante legal es un dato requerido",
    "El Telefono del representante legal es un dato requerido",
    "El email del representante legal es un dato requerido",
};

RequeridosInput complete() {
    RequeridosInput in;
    in.combo1Index = 0;
    in.apePat1 = u("ACEROS DEL NORTE SA DE CV");
    in.calle = u("AV. JUAREZ 100");
    in.cp = u("64000");
    in.colonia = u("CENTRO");
    in.telefono = u("8181234567");
    in.combo5Index = 3;
    in.chkProdFinal = 1;
    in.nombreR2 = u("JUAN");
    in.cargo = u("DIRECTOR");
    in.telefonoR2 = u("8187654321");
    in.emailRep = u("juan@aceros.mx");
    return in;
}

void blankTexts(RequeridosInput& in, const QString& blank) {
    in.prog1 = in.prog2 = in.apePat1 = in.calle = in.cp = in.colonia = in.telefono = blank;
    in.nombreR2 = in.cargo = in.telefonoR2 = in.emailRep = blank;
    in.combo5Index = -1;
    in.chkProdFinal = 0;
    in.chkrodIndirecto = 0;
}

struct RequeridosCase {
    const char* name;
    std::function<void(RequeridosInput&)> change;
    std::vector<int> rows;  // rows of the table, in the order shown
};

const std::vector<RequeridosCase>& requeridosCases() {
    static const std::vector<RequeridosCase> cases = {
        {"everything given", [](RequeridosInput&) {}, {}},
        {"every required text blank, new programme",
         [](RequeridosInput& in) { blankTexts(in, QString()); },
         {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
        {"blanks only count as empty",
         [](RequeridosInput& in) { blankTexts(in, u("   ")); },
         {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
        {"every required text blank, extension",
         [](RequeridosInput& in) {
             blankTexts(in, QString());
             in.combo1Index = 1;
         },
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
        {"new programme does not need year or number",
         [](RequeridosInput& in) { in.prog1 = in.prog2 = QString(); }, {}},
        {"extension with year and number", [](RequeridosInput& in) {
             in.combo1Index = 1;
             in.prog1 = u("1999");
             in.prog2 = u("15");
         }, {}},
        {"extension with blank year", [](RequeridosInput& in) {
             in.combo1Index = 1;
             in.prog1 = u("  ");
             in.prog2 = u("15");
         }, {1}},
        {"extension with no number", [](RequeridosInput& in) {
             in.combo1Index = 1;
             in.prog1 = u("1999");
         }, {2}},
        {"only Abastecedor ticked",
         [](RequeridosInput& in) { in.chkProdFinal = in.chkrodIndirecto = 0; }, {9}},
        {"grey Productor Directo is not ticked",
         [](RequeridosInput& in) { in.chkProdFinal = 2; }, {9}},
        {"Productor Indirecto alone", [](RequeridosInput& in) {
             in.chkProdFinal = 0;
             in.chkrodIndirecto = 1;
         }, {}},
        {"first office is a selection", [](RequeridosInput& in) { in.combo5Index = 0; }, {}},
        {"no office", [](RequeridosInput& in) { in.combo5Index = -1; }, {8}},
        {"postal code blank", [](RequeridosInput& in) { in.cp = u("     "); }, {5}},
        {"a text with blanks around it is given",
         [](RequeridosInput& in) { in.colonia = u("  CENTRO  "); }, {}},
        {"tab only counts as empty", [](RequeridosInput& in) { in.calle = u("\t"); }, {4}},
        {"cargo and e-mail missing, in table order", [](RequeridosInput& in) {
             in.emailRep = QString();
             in.cargo = QString();
         }, {11, 13}},
        {"company and representative telephones",
         [](RequeridosInput& in) { in.telefono = in.telefonoR2 = QString(); }, {7, 12}},
    };
    return cases;
}

TEST(ValidaRequeridos, CaseTable) {
    for (const auto& c : requeridosCases()) {
        SCOPED_TRACE(c.name);
        RequeridosInput in = complete();
        c.change(in);
        const RequeridosResult r = validaRequeridos(in);
        std::vector<Message> expected;
        for (int row : c.rows)
            expected.push_back(Message{u(kRequeridos[row]), QString(), true});
        EXPECT_EQ(r.messages, expected) << show(r.messages);
        EXPECT_EQ(r.missing, !c.rows.empty());
    }
}

// ---------------------------------------------------------- number reading

TEST(LeadingNumber, CaseTable) {
    const struct {
        const char* text;
        bool sign;
        long long value;
    } cases[] = {
        {"", false, 0},        {"   ", false, 0},      {"ABC", false, 0},
        {"12", false, 12},     {" 12", false, 12},     {"12 ", false, 12},
        {"1 2", false, 12},    {"12A3", false, 12},    {"A12", false, 0},
        {"0042", false, 42},   {"-5", false, 0},       {"-5", true, -5},
        {" - 5", true, -5},    {"-", true, 0},         {"--5", true, 0},
        {"5-", true, 5},       {"+5", true, 0},        {"-0", true, 0},
        {"99999999999999999999999", false, std::numeric_limits<long long>::max()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\" sign " + (c.sign ? "on" : "off"));
        EXPECT_EQ(leadingNumber(u(c.text), c.sign), c.value);
    }
}

TEST(Prog2OnLeave, CaseTable) {
    const struct {
        const char* text;
        const char* result;  // nullptr: the text stays
    } cases[] = {
        {"-5", "0"}, {" -12", "0"}, {"- 3", "0"}, {"-9999", "0"},
        {"5", nullptr}, {"0", nullptr}, {"", nullptr}, {"-0", nullptr},
        {"-", nullptr}, {"ABC", nullptr}, {"5-", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QString r = prog2OnLeave(u(c.text));
        if (c.result)
            EXPECT_EQ(r, u(c.result));
        else
            EXPECT_TRUE(r.isNull()) << r.toStdString();
    }
}

// -------------------------------------------------------------- key filters

TEST(SoloNumeros, EveryAnsiCode) {
    const std::set<int> passing = {8, 9, 27, '0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};
    for (int code = 0; code <= 255; ++code) {
        SCOPED_TRACE(code);
        EXPECT_EQ(SoloNumeros(code), passing.count(code) ? code : 0);
    }
    EXPECT_EQ(SoloNumeros(13), 0);      // Enter
    EXPECT_EQ(SoloNumeros(0x0661), 0);  // an Arabic-Indic digit is not a digit here
    EXPECT_EQ(SoloNumeros(0xFF10), 0);  // nor a full-width zero
    EXPECT_EQ(SoloNumeros(-1), 0);
}

TEST(CaseKeys, CaseTable) {
    const struct {
        int code;
        int upper;
        int lower;
    } cases[] = {
        {'a', 'A', 'a'},   {'A', 'A', 'a'},   {'z', 'Z', 'z'},
        {0xF1, 0xD1, 0xF1},  // ñ / Ñ
        {0xD1, 0xD1, 0xF1},
        {0xE9, 0xC9, 0xE9},  // é / É
        {0xFC, 0xDC, 0xFC},  // ü / Ü
        {0xFF, 0x178, 0xFF}, // ÿ has its capital outside Latin-1
        {'1', '1', '1'},   {'@', '@', '@'},   {'.', '.', '.'},   {' ', ' ', ' '},
        {0, 0, 0},         {8, 8, 8},         {13, 13, 13},      {27, 27, 27},
        {0xDF, 0xDF, 0xDF},  // ß has no single-character capital
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(upperKey(c.code), c.upper);
        EXPECT_EQ(lowerKey(c.code), c.lower);
    }
}

TEST(PlantCellKey, PerColumn) {
    const struct {
        int column;
        int code;
        int result;
    } cases[] = {
        {0, 'a', 'A'}, {2, 'a', 'A'}, {3, 0xF1, 0xD1}, {4, 'b', 'B'}, {5, 'c', 'C'},
        {0, '7', '7'}, {2, 13, 13},  // Enter reaches a text column; the grid turns it into Tab
        {5, ' ', ' '},
        {1, 'a', 0},   {1, '5', '5'}, {1, 13, 0}, {1, 8, 8},
        {6, '-', 0},   {6, '0', '0'}, {6, 13, 0}, {6, 9, 9},
        {7, '.', 0},   {7, '9', '9'}, {7, 27, 27},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "column " << c.column << " code " << c.code);
        EXPECT_EQ(plantCellKey(c.column, c.code), c.result);
    }
}

TEST(PlantRowCheck, CaseTable) {
    const Message tooLong{u("El Codigo postal no puede ser mayor a 5 digitos"), u("Error"), true};
    const struct {
        int column;
        const char* cp;
        bool refused;
    } cases[] = {
        {1, "123456", true}, {1, "1234567890", true}, {1, "12345", false}, {1, "", false},
        {0, "123456", false}, {2, "123456", false}, {7, "123456", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "column " << c.column << " cp " << c.cp);
        const auto r = plantRowCheck(c.column, u(c.cp));
        EXPECT_EQ(r, c.refused ? std::vector<Message>{tooLong} : std::vector<Message>{})
            << show(r);
    }
}

} // namespace
