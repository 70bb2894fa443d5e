// The checks the program applies to what is typed, as plain functions of
// their inputs: the main window's (the applicant's RFC, the programme year
// and number, the required fields, a plant's postal code) and the annexes'
// (a sector row, a goods row, an indirect producer). They show nothing: the
// windows show their messages, zeltar-verifica prints them.
#pragma once

#include <string>
#include <vector>

#include "rules/text.h"

namespace rules {

// The character codes of the keys that type control characters, as the key
// filters see them; printable keys give their character's code.
inline constexpr int kBackspace = 8;
inline constexpr int kTab = 9;
inline constexpr int kEnter = 13;
inline constexpr int kEscape = 27;

// The numeric fields' key filter: digits, Escape, Backspace and Tab pass;
// every other code becomes 0.
int SoloNumeros(int tecla);
// The sector keys' key filter: V, I, X, L, Escape, Backspace and Tab pass;
// every other code becomes 0 (lower-case letters included).
int NumerosRomanos(int Tecla);

// One message box a check asks for, with an OK button. An empty title means
// the application's title. `field` names the table field the message is
// about (for a report of stored rows); the windows do not use it.
struct Message {
    std::string text;  // UTF-8
    std::string title;
    bool critical = false;
    const char* field = "";
    bool operator==(const Message&) const = default;
};

// ValidaRFC over the RFC box's 13 positions.
struct RfcResult {
    std::vector<Message> messages;
    bool valid = true;          // RFCValido
    bool refocus = false;       // the focus goes back to the RFC box
    bool callsHabilita = true;  // false after the length rule's early end
};
RfcResult validaRfc(Text text13);

// valida: stops at the first fault; `fault` is what sets ErrorValida to 1.
// The windows give their texts as QStrings, the rules read UTF-16 text.
template <class String> struct BasicValidaInput {
    bool rfcValid = false;  // RFCValido after running the RFC check
    int chkProdFinal = 0;   // check box values: 0 clear, 1 ticked, 2 grey
    int chkrodIndirecto = 0;
    int chkAbastecedor = 0;
    int combo1Index = 0;  // 0 "Programa nuevo", 1 "Ampliación", -1 none
    String prog1;         // txtProg1
    String prog2;         // txtProg2
};
using ValidaInput = BasicValidaInput<std::u16string>;
struct ValidaResult {
    std::vector<Message> messages;
    bool fault = false;
};
ValidaResult valida(const ValidaInput& in);

// ValidaRequeridos without the RFC check: every rule runs; `missing` is
// FaltanDatos.
template <class String> struct BasicRequeridosInput {
    int combo1Index = 0;
    String prog1, prog2;
    String apePat1, calle, cp, colonia, telefono;
    int combo5Index = -1;  // -1: no office selected
    int chkProdFinal = 0;
    int chkrodIndirecto = 0;
    String nombreR2, cargo, telefonoR2, emailRep;
};
using RequeridosInput = BasicRequeridosInput<std::u16string>;
struct RequeridosResult {
    std::vector<Message> messages;
    bool missing = false;
};
RequeridosResult validaRequeridos(const RequeridosInput& in);

// The plants grid before a row is written: the message when the postal code
// (column 1) is too long and the current column is 1; none otherwise.
std::vector<Message> plantRowCheck(int currentColumn, Text cp);

// A check of an annexes' row: its messages in order, and whether the write
// is cancelled.
struct RowCheck {
    std::vector<Message> messages;
    bool cancel = false;
};

// ValidaSector over the key (column 0) and the description (column 1).
RowCheck ValidaSector(Text key, Text description);

// ValidaMercancia. `grid` is 0 for dbganexo1, 1 for dbganexo2, 2 for
// dbganexo3; `sectorKey` is the key of the sector current on the grid's tab;
// `fraction` is column 3 as it stands.
RowCheck ValidaMercancia(int grid, bool extension, Text sectorKey, Text fraction);

// The codes a goods row takes after a passing ValidaMercancia.
struct GoodsCodes {
    int tipoProgr;  // column 0
    int anexo;      // column 1: the tab index + 1
    int tipoBien;   // column 5
    bool operator==(const GoodsCodes&) const = default;
};
GoodsCodes goodsCodes(int grid, int currentTab);

// ValidaRFCIndirecto over NOMBRE (column 1) and RFC (column 2).
RowCheck ValidaRFCIndirecto(Text name, Text rfc);

}  // namespace rules
