#include "ui/translation.h"

#include <QCoreApplication>
#include <QTranslator>

namespace ui {

QTranslator* installSpanishTranslation() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    // A fixed resource, not QLocale::system(): the operator reads Spanish
    // also on a machine set up in another language.
    if (!translator->load(QStringLiteral(":/zeltar/translations/qtbase_es.qm"))
        || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

}  // namespace ui
