// The annexes' key filters and row checks.
#include "annexes/checks.h"

namespace annexes {

int NumerosRomanos(int Tecla)
{
    switch (Tecla) {
    case 'V': case 'I': case 'X': case 'L': case 27: case 8: case 9:
        return Tecla;
    default:
        return 0;
    }
}

KeyResult sectorKey(int, const QString&, int key) { return {key, key == 13}; }
KeyResult goodsKey(int, int key) { return {key, key == 13}; }
KeyResult producerKey(int, int key) { return {key, key == 13}; }

RowCheck ValidaSector(const QString&, const QString&) { return {}; }
RowCheck ValidaMercancia(int, bool, const QString&, const QString&) { return {}; }

GoodsCodes goodsCodes(int grid, int currentTab) { return {0, currentTab + 1, grid}; }

std::vector<Message> noSectorMessage(int, bool, const QString&) { return {}; }

bool anexo1Enabled(const QString& directSectorKey) { return directSectorKey == QLatin1String("X"); }

RowCheck ValidaRFCIndirecto(const QString&, const QString&) { return {}; }

} // namespace annexes
