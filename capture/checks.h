// The main window's checks and key filters as plain functions of their inputs.
// The window runs them, shows the messages through the message-box service
// and sets its flags; the functions show nothing themselves. The checks are
// the entry rules of rules/checks.h, on the window's texts.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "rules/checks.h"
#include "ui/keys.h"
#include "ui/leadingnumber.h"
#include "ui/messagebox.h"

namespace capture {

using ui::Message;
using ui::SoloNumeros;

using ui::leadingNumber;

// ValidaRFC over the box's 13-character text.
struct RfcResult {
    std::vector<Message> messages;
    bool valid = true;          // RFCValido
    bool refocus = false;       // the focus goes back to the RFC box
    bool callsHabilita = true;  // false after the length rule's early end
};
RfcResult validaRfc(const QString& text13);

// The text-changed rule of the RFC box: true when position 1 is a blank (or
// the text is empty), which empties and disables the person-name fields.
bool rfcIsCompany(const QString& text);

// valida: stops at the first fault; `fault` is what sets ErrorValida to 1.
using ValidaInput = rules::BasicValidaInput<QString>;
struct ValidaResult {
    std::vector<Message> messages;
    bool fault = false;
};
ValidaResult valida(const ValidaInput& in);

// ValidaRequeridos (after the RFC check, whose messages the window shows
// first): every rule runs; `missing` is FaltanDatos.
using RequeridosInput = rules::BasicRequeridosInput<QString>;
struct RequeridosResult {
    std::vector<Message> messages;
    bool missing = false;
};
RequeridosResult validaRequeridos(const RequeridosInput& in);

// txtProg2 losing the focus: the text to put back ("0") when its number is
// below 0, or a null QString when it stays.
QString prog2OnLeave(const QString& text);

// The plants grid before a row is written: the message when the postal code
// (column 1) is too long and the current column is 1; none otherwise.
std::vector<Message> plantRowCheck(int currentColumn, const QString& cpText);

// Key rules: form level (upper case), then per control. Return 0 to swallow.
// The plants grid's per-cell rule: upper case (columns 0, 2-5) or SoloNumeros
// (columns 1, 6, 7).
int plantCellKey(int column, int code);

}  // namespace capture
