// The annexes' key filters and row checks.
#include "annexes/checks.h"

#include "ui/keys.h"
#include "ui/rules.h"

#include <QChar>

namespace annexes {

namespace {

using ui::lowerKey;
using ui::upperKey;

KeyResult enterSendsTab(int key) { return {key, key == ui::kEnter}; }

RowCheck shown(const rules::RowCheck& check) { return RowCheck{ui::messages(check.messages), check.cancel}; }

}  // namespace

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
    return shown(rules::ValidaSector(ui::u16(key), ui::u16(description)));
}

RowCheck ValidaMercancia(int grid, bool extension, const QString& sectorKey, const QString& fraction) {
    return shown(rules::ValidaMercancia(grid, extension, ui::u16(sectorKey), ui::u16(fraction)));
}

std::vector<Message> noSectorMessage(int grid, bool extension, const QString& sectorKey) {
    if (!sectorKey.isEmpty())
        return {};
    const QString produce =
        QStringLiteral("Indique en la Ventana de sectores el correspondiente a esta mercancia a producir");
    switch (grid) {
    case 0:
        if (!extension)
            return {};
        return {Message{produce, QString::fromUtf8("Error, no señalo el sector"), true}};
    case 1: return {Message{produce, QStringLiteral("Error"), true}};
    case 2:
        return {
            Message{QString::fromUtf8("Debe señalar en la ventana de sectores el correspondiente al bien a importar"),
                    QString(), false}};
    default: return {};
    }
}

bool anexo1Enabled(const QString& directSectorKey) { return directSectorKey == QLatin1String("X"); }

RowCheck ValidaRFCIndirecto(const QString& name, const QString& rfc) {
    return shown(rules::ValidaRFCIndirecto(ui::u16(name), ui::u16(rfc)));
}

}  // namespace annexes
