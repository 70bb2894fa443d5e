// zeltar --cuestionario FILE: the questionnaire of the saved application as
// files, without a display and without the print dialog.
#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>

namespace app {

// Whether the command line asks for the questionnaire as files (read before
// the application object exists, which must then need no display).
bool asksForQuestionnaire(int argc, char** argv);

// Writes FILE.txt, the text the document window shows when it opens (UTF-8,
// lines ending in a line feed), and FILE.pdf, what "&Imprimir" prints (the
// questionnaire with its title centred, then the data directory's
// considera.txt), each under a scratch name renamed into place. A ".txt" or
// ".pdf" ending of FILE is dropped. The data directory is only read: no
// defaults are made, no lock is taken (a program running on it is left
// alone), nothing in it changes. Returns 0 when both files are written, else
// 1; what went wrong, in Spanish, goes to `messages`.
int writeQuestionnaire(const std::filesystem::path& dataDir, const QString& file, QStringList& messages);

}  // namespace app
