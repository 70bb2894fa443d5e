#include "questionnaire/cuestionario.h"

#include "ui/formwindow.h"

namespace questionnaire {

QString MainWindowState::text(const QString& control) const {
    auto it = texts.find(control);
    return it == texts.end() ? QString() : it->second;
}

// Placeholder until the builder lands.
MainWindowState readMainWindow(const ui::FormWindow&) { return {}; }

Questionnaire ArmaCuestionario(const MainWindowState&, Sources&) { return {}; }

} // namespace questionnaire
