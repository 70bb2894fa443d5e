// zeltar [--datos DIR] [--disco DIR]: the main capture window on the data
// directory; the disk for the ministry is written to the --disco directory.
#include <QApplication>
#include <QCoreApplication>
#include <QCommandLineParser>
#include <filesystem>
#include <optional>

#include "app/windows.h"
#include "capture/form1.h"
#include "store/database.h"
#include "store/datadir.h"
#include "store/dbf.h"
#include "ui/messagebox.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zeltar"));
    QApplication::setApplicationVersion(QStringLiteral("3.0"));

    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption datos(QStringLiteral("datos"), QStringLiteral("Directorio de datos."), QStringLiteral("DIR"));
    parser.addOption(datos);
    QCommandLineOption disco(QStringLiteral("disco"), QStringLiteral("Directorio del disco (unidad A:)."),
                             QStringLiteral("DIR"));
    parser.addOption(disco);
    parser.process(app);

    std::optional<std::filesystem::path> fromCommandLine;
    if (parser.isSet(datos)) fromCommandLine = std::filesystem::path(parser.value(datos).toStdU16String());
    const std::filesystem::path dir = store::dataDirectory(fromCommandLine);

    std::unique_ptr<store::DirectoryLock> lock;
    try {
        store::ensureDataDirectory(dir);
        lock = store::DirectoryLock::acquire(dir);
    } catch (const store::StoreError& e) {
        ui::message(nullptr, QString::fromUtf8(e.what()));
        return 1;
    }
    if (!lock) {
        ui::message(nullptr, QString::fromStdString(store::lockedMessage(dir)));
        return 1;
    }

    store::Database db(dir);
    capture::Form1 form(db);
    if (form.loadFailed()) return 1;
    std::optional<std::filesystem::path> discoDir;
    if (parser.isSet(disco)) discoDir = std::filesystem::path(parser.value(disco).toStdU16String());
    form.diskette = store::diskDirectory(discoDir);
    // The packing program lies beside this one and works past our lock.
#ifdef Q_OS_WIN
    const char* pack9Name = "pack9.exe";
#else
    const char* pack9Name = "pack9";
#endif
    form.pack9 = std::filesystem::path(QCoreApplication::applicationDirPath().toStdU16String()) / pack9Name;
    form.pack9Environment = lock->handOffEnvironment();
    app::wireWindows(form, db);
    form.show();
    return app.exec();
}
