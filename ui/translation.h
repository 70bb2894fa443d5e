// Qt's own texts (the standard buttons of the message boxes, the print dialog,
// the context menus of the text boxes, the command line's help) in Spanish,
// whatever the system's language. The translation is compiled into the
// program, so no translation package needs to be installed where it runs.
#pragma once

class QTranslator;

namespace ui {

// Loads Qt's Spanish translation and installs it into the application (a
// QCoreApplication must exist). Returns the translator, owned by the
// application, or nullptr when it could not be loaded.
QTranslator* installSpanishTranslation();

}  // namespace ui
