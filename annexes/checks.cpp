// The annexes' key filters and row checks.
#include "annexes/checks.h"

#include "ui/keys.h"

#include <QChar>

namespace annexes {

namespace {

constexpr int kRfcPositions = 13;
constexpr QChar kBlank = QLatin1Char(' ');

QString q(const char* utf8) { return QString::fromUtf8(utf8); }

Message error(const char* text) { return Message{q(text), QStringLiteral("Error"), true}; }
Message plain(const char* text) { return Message{q(text), QString(), false}; }

// A case change that the tables could not store (a Latin-1 letter whose
// capital lies outside the code page) leaves the key as typed, so the grid
// never receives a character it cannot write.
int storableOr(int changed, int typed) {
    if (changed == typed || changed > 0xFFFF)
        return typed;
    return ui::storable(QString(QChar(char16_t(changed)))) ? changed : typed;
}

int upperKey(int code) {
    if (code <= 0 || code > 0xFFFF)
        return code;
    return storableOr(int(QChar::toUpper(char32_t(code))), code);
}

int lowerKey(int code) {
    if (code <= 0 || code > 0xFFFF)
        return code;
    return storableOr(int(QChar::toLower(char32_t(code))), code);
}

KeyResult enterSendsTab(int key) { return {key, key == ui::kEnter}; }

// Nothing left once white space is removed at both ends: a pasted tab is no
// more a description than a blank is.
bool blankText(const QString& text) { return text.trimmed().isEmpty(); }

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
// By code: lower-case letters and Ñ are not capitals here.
bool isCapital(QChar c) { return c >= QLatin1Char('A') && c <= QLatin1Char('Z'); }

QString withoutTrailingBlanks(const QString& s) {
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == kBlank)
        --n;
    return s.left(n);
}

QString withoutLeadingBlanks(const QString& s) {
    qsizetype i = 0;
    while (i < s.size() && s.at(i) == kBlank)
        ++i;
    return s.mid(i);
}

}  // namespace

int NumerosRomanos(int Tecla) {
    switch (Tecla) {
    case 'V':
    case 'I':
    case 'X':
    case 'L':
    case ui::kEscape:
    case ui::kBackspace:
    case ui::kTab: return Tecla;
    default: return 0;
    }
}

KeyResult sectorKey(int column, const QString& cell, int key) {
    if (column == 0) {
        // After a numeral that needs a sub-item the next letter is that
        // sub-item, in lower case; an I still extends the numeral (XV -> XVI).
        const bool needsSubItem = cell == QLatin1String("II") || cell == QLatin1String("XX")
                                  || cell == QLatin1String("XIX") || cell == QLatin1String("XV");
        if (needsSubItem && lowerKey(key) != 'i')
            key = lowerKey(key);
        else
            key = NumerosRomanos(upperKey(key));
    } else if (column == 1) {
        key = upperKey(key);
    }
    return enterSendsTab(key);
}

KeyResult goodsKey(int column, int key) {
    if (column == 3)
        key = ui::SoloNumeros(key);
    else if (column == 4)
        key = upperKey(key);
    return enterSendsTab(key);
}

KeyResult producerKey(int column, int key) {
    if (column == 1 || column == 2)
        key = upperKey(key);
    return enterSendsTab(key);
}

RowCheck ValidaSector(const QString& key, const QString& description) {
    RowCheck r;
    if (key.isEmpty())
        r.messages.push_back(error("El Sector no puede ser nulo"));
    if (key == QLatin1String("II"))
        r.messages.push_back(error("El Sector no puede ser II falta el inciso a o b"));
    if (key == QLatin1String("XV"))
        r.messages.push_back(error("El Sector no puede ser XV falta el inciso a o b"));
    if (key == QLatin1String("XX"))
        r.messages.push_back(error("El Sector no puede ser XX falta el inciso a,b,c.."));
    if (key == QLatin1String("XIX"))
        r.messages.push_back(error("El Sector no puede ser XIX falta el inciso a,b,c.."));
    if (blankText(description))
        r.messages.push_back(error("La descripción no puede quedar vacia"));
    r.cancel = !r.messages.empty();
    return r;
}

RowCheck ValidaMercancia(int grid, bool extension, const QString& sectorKey, const QString& fraction) {
    RowCheck r;
    // An extension takes goods to produce only under sector X.
    if (grid == 0 && extension && sectorKey != QLatin1String("X")) {
        r.messages.push_back(error("No debe capturar fraccones para el sector indicado"));
        r.cancel = true;
        return r;
    }
    const QString f = fraction.trimmed();
    if (f.isEmpty())
        r.messages.push_back(error("La Fracción no puede quedar vacia"));
    else if (f.size() != 8)
        r.messages.push_back(grid == 2 ? plain("La fraccion debe ser de 8 números")
                                       : error("La Fracción debe ser de 8 números"));
    r.cancel = !r.messages.empty();
    return r;
}

GoodsCodes goodsCodes(int grid, int currentTab) {
    return GoodsCodes{grid == 2 ? 2 : 1, currentTab + 1, grid == 0 ? 1 : 2};
}

std::vector<Message> noSectorMessage(int grid, bool extension, const QString& sectorKey) {
    if (!sectorKey.isEmpty())
        return {};
    const char* produce = "Indique en la Ventana de sectores el correspondiente a esta mercancia a producir";
    switch (grid) {
    case 0:
        if (!extension)
            return {};
        return {Message{q(produce), q("Error, no señalo el sector"), true}};
    case 1: return {error(produce)};
    case 2: return {plain("Debe señalar en la ventana de sectores el correspondiente al bien a importar")};
    default: return {};
    }
}

bool anexo1Enabled(const QString& directSectorKey) { return directSectorKey == QLatin1String("X"); }

RowCheck ValidaRFCIndirecto(const QString& name, const QString& rfc) {
    RowCheck r;
    if (blankText(name))
        r.messages.push_back(error("La descripción no puede quedar vacia"));

    const QString trimmedEnd = withoutTrailingBlanks(rfc);
    if (trimmedEnd.isEmpty()) {
        r.cancel = !r.messages.empty();
        return r;
    }
    if (trimmedEnd.size() < 12)
        r.messages.push_back(plain("El RFC tiene menos de 12 caracteres o falta un espacio al inicio"));
    if (withoutLeadingBlanks(rfc).size() > 12)
        r.messages.push_back(plain("El RFC tiene mas de 12 caracteres"));

    // Positions count from 1; one past the end reads as a null character,
    // which no rule accepts.
    auto pos = [&rfc](int n) { return n <= rfc.size() ? rfc.at(n - 1) : QChar(); };
    auto rules = [&]() -> const char* {
        for (int i = 1; i <= 4; ++i) {
            const QChar c = pos(i);
            if (c == kBlank && i == 1)
                continue;
            if (!isCapital(c) && c != QLatin1Char('&'))
                return "Existe un caracter no permitido en su RFC";
            if (i == 1)
                return "El RFC necesita un espacio al inicio";
        }
        for (int i = 5; i <= 10; ++i)
            if (!isDigit(pos(i)))
                return "Existe un caracter no permitido en la fecha del RFC";

        auto number = [&pos](int n) { return (pos(n).unicode() - '0') * 10 + (pos(n + 1).unicode() - '0'); };
        const int month = number(7);
        const int day = number(9);
        const bool monthOk = month > 0 && month < 13;
        const bool dayOk = day > 0 && day < 32;
        if (!monthOk)
            r.messages.push_back(plain("El mes de su RFC no es valido"));
        if (!dayOk)
            return "El dia de su RFC no es valido";
        if (!monthOk)
            return nullptr;

        for (int i = 11; i <= 12; ++i)
            if (!isDigit(pos(i)) && !isCapital(pos(i)))
                return "La homoclave de su RFC tiene un caracter no pernmitido";
        const QChar last = pos(kRfcPositions);
        if (!isDigit(last) && last != QLatin1Char('A'))
            return "Error en el ultimo digito de la homoclave";
        return nullptr;
    };
    if (const char* fault = rules())
        r.messages.push_back(plain(fault));
    r.cancel = !r.messages.empty();
    return r;
}

}  // namespace annexes
