#include "ui/damage.h"

#include <QPointer>
#include <QWidget>

#include "store/database.h"
#include "ui/messagebox.h"

namespace ui {

namespace {

QString u8(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QString fileName(const std::filesystem::path& p) {
    const auto name = p.filename().u8string();
    return u8(std::string(name.begin(), name.end()));
}

}  // namespace

void askAboutDamagedTables(store::Database& db, QWidget* parent) {
    db.setDamageHandler([parent = QPointer<QWidget>(parent)](const std::string& table,
                                                             const std::filesystem::path& file,
                                                             const store::TableDamage& damage) {
        const QString question =
            u8(store::damageText(table, damage))
            + QStringLiteral("\n\n¿Desea repararla ahora?\n"
                             "Sí: se guarda una copia del archivo dañado junto a él, con la fecha en su nombre, y "
                             "la tabla queda con lo que se puede leer.\n"
                             "No: la tabla sólo se podrá consultar hasta que cierre el programa; no se guardará "
                             "nada en ella.");
        if (message(parent, question, QStringLiteral("ATENCION"), Icon::Critical, Buttons::YesNo) != Answer::Yes)
            return;
        try {
            const store::RepairResult r = store::repairTable(file);
            QString done = QStringLiteral("Se reparó la tabla %1: ").arg(u8(table))
                           + (r.kept == 1 ? QStringLiteral("se conservó 1 renglón")
                                          : QStringLiteral("se conservaron %1 renglones").arg(r.kept));
            if (r.lost > 0)
                done += r.lost == 1 ? QStringLiteral(" y no se pudo leer 1")
                                    : QStringLiteral(" y no se pudieron leer %1").arg(r.lost);
            done += QStringLiteral(". La copia del archivo dañado es %1.").arg(fileName(r.copy));
            message(parent, done);
        } catch (const store::StoreError& e) {
            // The table stays as it was, and is only read.
            message(parent,
                    u8(e.what()) + QStringLiteral("\nLa tabla sólo se podrá consultar hasta que cierre el programa."));
        }
    });
}

}  // namespace ui
