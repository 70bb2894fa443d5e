// A golden/ folder is one case: input.txt gives the window's state ("text NAME=VALUE", "combo1 N", "direct",
// "indirect") and "TABLE|v|v|..." rows (values by position, empty ones null; a mercbi row gives positions 0 to 3,
// then 12); expected.txt is the whole document, programme.txt only the programme text. ZELTAR_UPDATE_GOLDEN rewrites.
#pragma once

#include <QStringList>
#include <string>
#include <utility>

#include "store/schema.h"

inline const QString kGoldenDir = QStringLiteral(ZELTAR_TEST_DIR "/questionnaire/golden/");

inline std::pair<std::string, store::Row> goldenRow(const QString& line) {
    QStringList v = line.split(u'|');
    const std::string table = v.takeFirst().toStdString();
    const auto& fields = store::tableLayout(table).fields;
    store::Row row(fields.size());
    for (qsizetype i = 0; i < v.size(); ++i) {
        const std::size_t pos = table == "mercbi" && i == 4 ? 12 : std::size_t(i);
        if (!v[i].trimmed().isEmpty())
            row[pos] = fields[pos].type == store::FieldType::Numeric ? store::Value(v[i].toDouble())
                                                                     : store::Value(v[i].toStdString());
    }
    return {table, row};
}
