// Loading a text file into a rich-text box: rich text (RTF) when the file is
// RTF, plain text otherwise. Qt reads no RTF, so the program has its own reader.
#pragma once

#include <QString>

class QTextEdit;

namespace ui {

// Replaces the box's content with the file's. On failure (missing or
// unreadable file) leaves the box as it was, puts a Spanish description of
// the failure into *error (when given) and returns false.
bool loadTextFile(QTextEdit& box, const QString& path, QString* error = nullptr);

}  // namespace ui
