#include "rules/checks.h"

namespace rules {

namespace {

constexpr std::size_t kRfcLength = 13;

Message plain(const char* text, const char* field) { return Message{text, "", false, field}; }
Message critical(const char* text, const char* field) { return Message{text, "", true, field}; }
Message error(const char* text, const char* field) { return Message{text, "Error", true, field}; }

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
// By code: lower-case letters and Ñ are not capitals here.
bool isCapital(char16_t c) { return c >= u'A' && c <= u'Z'; }

Text withoutTrailingBlanks(Text s) {
    while (!s.empty() && s.back() == u' ')
        s.remove_suffix(1);
    return s;
}

Text withoutLeadingBlanks(Text s) {
    while (!s.empty() && s.front() == u' ')
        s.remove_prefix(1);
    return s;
}

}  // namespace

int SoloNumeros(int tecla) {
    if ((tecla >= '0' && tecla <= '9') || tecla == kEscape || tecla == kBackspace || tecla == kTab)
        return tecla;
    return 0;
}

int NumerosRomanos(int Tecla) {
    switch (Tecla) {
    case 'V':
    case 'I':
    case 'X':
    case 'L':
    case kEscape:
    case kBackspace:
    case kTab: return Tecla;
    default: return 0;
    }
}

RfcResult validaRfc(Text text13) {
    // The box always holds 13 positions; untyped ones read as blanks.
    std::u16string t(text13.substr(0, kRfcLength));
    t.resize(kRfcLength, u' ');
    auto pos = [&t](std::size_t n) { return t[n - 1]; };

    RfcResult r;
    auto fault = [&r](std::string text) {
        r.messages.push_back(Message{std::move(text), "", false, "RFC"});
        r.valid = false;
        r.refocus = true;
    };

    // Length: position 13 still blank ends the check without touching Habilita.
    if (pos(kRfcLength) == u' ') {
        fault("El RFC no puede ser menor de 13");
        r.callsHabilita = false;
        return r;
    }

    if (pos(1) != u' ')
        fault("El primer digito del RFC debe espacio ");

    // Only positions 2 and 3, and only when position 1 passed.
    for (std::size_t i = 2; i <= 3 && r.valid; ++i) {
        const char16_t code = pos(i);
        // The number is written with a sign position: a blank for positive.
        if (!((code >= 65 && code <= 90) || code == 38))
            fault("El  " + std::to_string(i) + " digito del RFC debe ser letra ");
    }

    if (leadingNumber(Text(t).substr(6, 2)) > 12)
        fault("El valor del mes del RFC es incorrecto");
    if (leadingNumber(Text(t).substr(8, 2)) > 31)
        fault("El valor del dia del RFC es incorrecto");

    const char16_t last = pos(kRfcLength);
    if (!(last == u'A' || isDigit(last)))
        fault("El ultimo digito del RFC debe ser A ó del 0 al 9");
    return r;
}

ValidaResult valida(const ValidaInput& in) {
    ValidaResult r;
    auto fault = [&r](const char* text, const char* field) {
        if (text)
            r.messages.push_back(plain(text, field));
        r.fault = true;
        return r;
    };

    // The RFC check has shown its own messages already.
    if (!in.rfcValid)
        return fault(nullptr, "");
    if (in.chkProdFinal == 0 && in.chkrodIndirecto == 0 && in.chkAbastecedor == 0)
        return fault("Seleccione un tipo de programa", "TIPOPROG");
    if (in.combo1Index != 1)
        return r;

    // No sign here: a pasted "-5" reads as 0 and is refused as a missing
    // number rather than accepted as a programme number.
    const long long year = leadingNumber(in.prog1);
    const long long number = leadingNumber(in.prog2);
    if (number == 0 && year == 0)
        return fault("Es necesario el año y número de programa", "PROG1P");
    if (number != 0 && year == 0)
        return fault("El año de zeltar no puede ser cero", "PROG1P");
    if (year < 1980)
        return fault("El año de zeltar no puede ser menor a 1980", "PROG1P");
    if (number == 0)
        return fault("El número de zeltar no puede ser cero", "PROG2P");
    return r;
}

RequeridosResult validaRequeridos(const RequeridosInput& in) {
    RequeridosResult r;
    auto require = [&r](bool missing, const char* text, const char* field) {
        if (!missing)
            return;
        r.messages.push_back(critical(text, field));
        r.missing = true;
    };

    // A pasted tab or line feed is as empty as a blank: neither is data worth sending.
    const bool ampliacion = in.combo1Index == 1;
    require(ampliacion && isBlank(in.prog1), "El año del registro ZELTAR es un dato requerido", "PROG1P");
    require(ampliacion && isBlank(in.prog2), "El numero del registro ZELTAR es un dato requerido", "PROG2P");
    require(isBlank(in.apePat1), "La razón social de la empresa es un dato requerido", "APEPATRAZ");
    require(isBlank(in.calle), "La calle de la empresa es un dato requerido", "CALLEYNO");
    require(isBlank(in.cp), "El codigo postal de la empresa es un dato requerido", "CP");
    require(isBlank(in.colonia), "La colonia de la empresa es un dato requerido", "COLONIA");
    require(isBlank(in.telefono), "El telefono de la empresa es un dato requerido", "TELEFONO");
    require(in.combo5Index < 0, "La administracion de recaudación de la empresa es un dato requerido", "CVEADMLOC");
    // Abastecedor alone does not make a programme type here.
    require(in.chkProdFinal != 1 && in.chkrodIndirecto != 1, "El tipo de programa de la empresa es un dato requerido",
            "TIPOPROG");
    require(isBlank(in.nombreR2), "El nombre del representante legal es un dato requerido", "NOMBREREPL");
    require(isBlank(in.cargo), "El cargo del representante legal es un dato requerido", "CARGO");
    require(isBlank(in.telefonoR2), "El Telefono del representante legal es un dato requerido", "TEL_REPREG");
    require(isBlank(in.emailRep), "El email del representante legal es un dato requerido", "EMAILREPL");
    return r;
}

std::vector<Message> plantRowCheck(int currentColumn, Text cp) {
    if (currentColumn == 1 && cp.size() > 5)
        return {error("El Codigo postal no puede ser mayor a 5 digitos", "CP")};
    return {};
}

RowCheck ValidaSector(Text key, Text description) {
    RowCheck r;
    if (key.empty())
        r.messages.push_back(error("El Sector no puede ser nulo", "CVE_SECTOR"));
    if (key == u"II")
        r.messages.push_back(error("El Sector no puede ser II falta el inciso a o b", "CVE_SECTOR"));
    if (key == u"XV")
        r.messages.push_back(error("El Sector no puede ser XV falta el inciso a o b", "CVE_SECTOR"));
    if (key == u"XX")
        r.messages.push_back(error("El Sector no puede ser XX falta el inciso a,b,c..", "CVE_SECTOR"));
    if (key == u"XIX")
        r.messages.push_back(error("El Sector no puede ser XIX falta el inciso a,b,c..", "CVE_SECTOR"));
    // A pasted tab is no more a description than a blank is.
    if (isBlank(description))
        r.messages.push_back(error("La descripción no puede quedar vacia", "DESCRIPCIO"));
    r.cancel = !r.messages.empty();
    return r;
}

RowCheck ValidaMercancia(int grid, bool extension, Text sectorKey, Text fraction) {
    RowCheck r;
    // An extension takes goods to produce only under sector X.
    if (grid == 0 && extension && sectorKey != u"X") {
        r.messages.push_back(error("No debe capturar fraccones para el sector indicado", "IDSECTOR"));
        r.cancel = true;
        return r;
    }
    const Text f = trimmed(fraction);
    if (f.empty())
        r.messages.push_back(error("La Fracción no puede quedar vacia", "FRACCION"));
    else if (f.size() != 8)
        r.messages.push_back(grid == 2 ? plain("La fraccion debe ser de 8 números", "FRACCION")
                                       : error("La Fracción debe ser de 8 números", "FRACCION"));
    r.cancel = !r.messages.empty();
    return r;
}

GoodsCodes goodsCodes(int grid, int currentTab) {
    return GoodsCodes{grid == 2 ? 2 : 1, currentTab + 1, grid == 0 ? 1 : 2};
}

RowCheck ValidaRFCIndirecto(Text name, Text rfc) {
    RowCheck r;
    if (isBlank(name))
        r.messages.push_back(error("La descripción no puede quedar vacia", "NOMBRE"));

    const Text trimmedEnd = withoutTrailingBlanks(rfc);
    if (trimmedEnd.empty()) {
        r.cancel = !r.messages.empty();
        return r;
    }
    if (trimmedEnd.size() < 12)
        r.messages.push_back(plain("El RFC tiene menos de 12 caracteres o falta un espacio al inicio", "RFC"));
    if (withoutLeadingBlanks(rfc).size() > 12)
        r.messages.push_back(plain("El RFC tiene mas de 12 caracteres", "RFC"));

    // Positions count from 1; one past the end reads as a null character,
    // which no rule accepts.
    auto pos = [&rfc](std::size_t n) { return n <= rfc.size() ? rfc[n - 1] : u'\0'; };
    auto rules = [&]() -> const char* {
        for (std::size_t i = 1; i <= 4; ++i) {
            const char16_t c = pos(i);
            if (c == u' ' && i == 1)
                continue;
            if (!isCapital(c) && c != u'&')
                return "Existe un caracter no permitido en su RFC";
            if (i == 1)
                return "El RFC necesita un espacio al inicio";
        }
        for (std::size_t i = 5; i <= 10; ++i)
            if (!isDigit(pos(i)))
                return "Existe un caracter no permitido en la fecha del RFC";

        auto number = [&pos](std::size_t n) { return (pos(n) - u'0') * 10 + (pos(n + 1) - u'0'); };
        const int month = number(7);
        const int day = number(9);
        const bool monthOk = month > 0 && month < 13;
        const bool dayOk = day > 0 && day < 32;
        if (!monthOk)
            r.messages.push_back(plain("El mes de su RFC no es valido", "RFC"));
        if (!dayOk)
            return "El dia de su RFC no es valido";
        if (!monthOk)
            return nullptr;

        for (std::size_t i = 11; i <= 12; ++i)
            if (!isDigit(pos(i)) && !isCapital(pos(i)))
                return "La homoclave de su RFC tiene un caracter no pernmitido";
        const char16_t last = pos(kRfcLength);
        if (!isDigit(last) && last != u'A')
            return "Error en el ultimo digito de la homoclave";
        return nullptr;
    };
    if (const char* fault = rules())
        r.messages.push_back(plain(fault, "RFC"));
    r.cancel = !r.messages.empty();
    return r;
}

}  // namespace rules
