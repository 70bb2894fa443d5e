#include "capture/checks.h"

#include <QChar>

namespace capture {

namespace {

constexpr int kRfcLength = 13;
constexpr QChar kBlank = QLatin1Char(' ');

Message plain(const QString& text) { return Message{text, QString(), false}; }
Message critical(const QString& text) { return Message{text, QString(), true}; }

// Leading and trailing white space removed leaves nothing. A pasted tab or
// line feed is as empty as a blank: neither is data worth sending.
bool isEmpty(const QString& text) { return text.trimmed().isEmpty(); }

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

}  // namespace

RfcResult validaRfc(const QString& text13) {
    // The box always holds 13 positions; untyped ones read as blanks.
    QString t = text13.left(kRfcLength);
    if (t.size() < kRfcLength)
        t = t.leftJustified(kRfcLength, kBlank);
    auto pos = [&t](int n) { return t.at(n - 1); };

    RfcResult r;
    r.valid = true;
    auto fault = [&r](const QString& text) {
        r.messages.push_back(plain(text));
        r.valid = false;
        r.refocus = true;
    };

    // Length: position 13 still blank ends the check without touching Habilita.
    if (pos(kRfcLength) == kBlank) {
        fault(QStringLiteral("El RFC no puede ser menor de 13"));
        r.callsHabilita = false;
        return r;
    }

    if (pos(1) != kBlank)
        fault(QStringLiteral("El primer digito del RFC debe espacio "));

    // Only positions 2 and 3, and only when position 1 passed.
    for (int i = 2; i <= 3 && r.valid; ++i) {
        const char16_t code = pos(i).unicode();
        if (!((code >= 65 && code <= 90) || code == 38)) {
            // The number is written with a sign position: a blank for positive.
            fault(QStringLiteral("El ") + QStringLiteral(" %1").arg(i)
                  + QStringLiteral(" digito del RFC debe ser letra "));
        }
    }

    if (leadingNumber(t.mid(6, 2)) > 12)
        fault(QStringLiteral("El valor del mes del RFC es incorrecto"));
    if (leadingNumber(t.mid(8, 2)) > 31)
        fault(QStringLiteral("El valor del dia del RFC es incorrecto"));

    const QChar last = pos(kRfcLength);
    if (!(last == QLatin1Char('A') || isDigit(last)))
        fault(QStringLiteral("El ultimo digito del RFC debe ser A ó del 0 al 9"));

    r.callsHabilita = true;
    return r;
}

bool rfcIsCompany(const QString& text) { return text.isEmpty() || text.at(0) == kBlank; }

ValidaResult valida(const ValidaInput& in) {
    ValidaResult r;
    auto fault = [&r](const char* text) {
        if (text)
            r.messages.push_back(plain(QString::fromUtf8(text)));
        r.fault = true;
        return r;
    };

    // The RFC check has shown its own messages already.
    if (!in.rfcValid)
        return fault(nullptr);
    if (in.chkProdFinal == 0 && in.chkrodIndirecto == 0 && in.chkAbastecedor == 0)
        return fault("Seleccione un tipo de programa");
    if (in.combo1Index != 1)
        return r;

    // No sign here: a pasted "-5" reads as 0 and is refused as a missing
    // number rather than accepted as a programme number.
    const long long year = leadingNumber(in.prog1);
    const long long number = leadingNumber(in.prog2);
    if (number == 0 && year == 0)
        return fault("Es necesario el año y número de programa");
    if (number != 0 && year == 0)
        return fault("El año de zeltar no puede ser cero");
    if (year < 1980)
        return fault("El año de zeltar no puede ser menor a 1980");
    if (number == 0)
        return fault("El número de zeltar no puede ser cero");
    return r;
}

RequeridosResult validaRequeridos(const RequeridosInput& in) {
    RequeridosResult r;
    auto require = [&r](bool missing, const char* text) {
        if (!missing)
            return;
        r.messages.push_back(critical(QString::fromUtf8(text)));
        r.missing = true;
    };

    const bool ampliacion = in.combo1Index == 1;
    require(ampliacion && isEmpty(in.prog1), "El año del registro ZELTAR es un dato requerido");
    require(ampliacion && isEmpty(in.prog2), "El numero del registro ZELTAR es un dato requerido");
    require(isEmpty(in.apePat1), "La razón social de la empresa es un dato requerido");
    require(isEmpty(in.calle), "La calle de la empresa es un dato requerido");
    require(isEmpty(in.cp), "El codigo postal de la empresa es un dato requerido");
    require(isEmpty(in.colonia), "La colonia de la empresa es un dato requerido");
    require(isEmpty(in.telefono), "El telefono de la empresa es un dato requerido");
    require(in.combo5Index < 0, "La administracion de recaudación de la empresa es un dato requerido");
    // Abastecedor alone does not make a programme type here.
    require(in.chkProdFinal != 1 && in.chkrodIndirecto != 1, "El tipo de programa de la empresa es un dato requerido");
    require(isEmpty(in.nombreR2), "El nombre del representante legal es un dato requerido");
    require(isEmpty(in.cargo), "El cargo del representante legal es un dato requerido");
    require(isEmpty(in.telefonoR2), "El Telefono del representante legal es un dato requerido");
    require(isEmpty(in.emailRep), "El email del representante legal es un dato requerido");
    return r;
}

QString prog2OnLeave(const QString& text) {
    if (leadingNumber(text, ui::Sign::Minus) < 0)
        return QStringLiteral("0");
    return QString();
}

std::vector<Message> plantRowCheck(int currentColumn, const QString& cpText) {
    if (currentColumn == 1 && cpText.size() > 5)
        return {
            Message{QStringLiteral("El Codigo postal no puede ser mayor a 5 digitos"), QStringLiteral("Error"), true}};
    return {};
}

// Key codes are Unicode code points (the same as the ANSI codes for the
// Latin-1 letters). Characters without a case mapping, control codes and
// codes outside Unicode come back unchanged.
int upperKey(int code) {
    if (code <= 0 || code > 0x10FFFF)
        return code;
    return static_cast<int>(QChar::toUpper(static_cast<char32_t>(code)));
}

int lowerKey(int code) {
    if (code <= 0 || code > 0x10FFFF)
        return code;
    return static_cast<int>(QChar::toLower(static_cast<char32_t>(code)));
}

int plantCellKey(int column, int code) {
    switch (column) {
    case 0:
    case 2:
    case 3:
    case 4:
    case 5: return upperKey(code);
    case 1:
    case 6:
    case 7: return SoloNumeros(code);
    default: return code;  // no such column: the form-level rule already ran
    }
}

}  // namespace capture
