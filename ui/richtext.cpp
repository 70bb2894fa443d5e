#include "ui/richtext.h"

#include <QFile>
#include <QTextEdit>

namespace ui {

// Plain text only until the RTF reader lands.
bool loadTextFile(QTextEdit& box, const QString& path, QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = f.errorString();
        return false;
    }
    box.setPlainText(QString::fromUtf8(f.readAll()));
    return true;
}

} // namespace ui
