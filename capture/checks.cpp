#include "capture/checks.h"

#include <QChar>

#include "ui/keys.h"
#include "ui/rules.h"

namespace capture {

namespace {

constexpr QChar kBlank = QLatin1Char(' ');

using ui::messages;
using ui::u16;

}  // namespace

RfcResult validaRfc(const QString& text13) {
    const rules::RfcResult r = rules::validaRfc(u16(text13));
    return RfcResult{messages(r.messages), r.valid, r.refocus, r.callsHabilita};
}

bool rfcIsCompany(const QString& text) { return text.isEmpty() || text.at(0) == kBlank; }

ValidaResult valida(const ValidaInput& in) {
    const rules::ValidaResult r = rules::valida({in.rfcValid, in.chkProdFinal, in.chkrodIndirecto, in.chkAbastecedor,
                                                 in.combo1Index, in.prog1.toStdU16String(), in.prog2.toStdU16String()});
    return ValidaResult{messages(r.messages), r.fault};
}

RequeridosResult validaRequeridos(const RequeridosInput& in) {
    const rules::RequeridosResult r = rules::validaRequeridos(
        {in.combo1Index, in.prog1.toStdU16String(), in.prog2.toStdU16String(), in.apePat1.toStdU16String(),
         in.calle.toStdU16String(), in.cp.toStdU16String(), in.colonia.toStdU16String(), in.telefono.toStdU16String(),
         in.combo5Index, in.chkProdFinal, in.chkrodIndirecto, in.nombreR2.toStdU16String(), in.cargo.toStdU16String(),
         in.telefonoR2.toStdU16String(), in.emailRep.toStdU16String()});
    return RequeridosResult{messages(r.messages), r.missing};
}

QString prog2OnLeave(const QString& text) {
    if (leadingNumber(text, ui::Sign::Minus) < 0)
        return QStringLiteral("0");
    return QString();
}

std::vector<Message> plantRowCheck(int currentColumn, const QString& cpText) {
    return messages(rules::plantRowCheck(currentColumn, u16(cpText)));
}

int plantCellKey(int column, int code) {
    switch (column) {
    case 0:
    case 2:
    case 3:
    case 4:
    case 5: return ui::upperKey(code);
    case 1:
    case 6:
    case 7: return SoloNumeros(code);
    default: return code;  // no such column: the form-level rule already ran
    }
}

}  // namespace capture
