// zeltar [--datos DIR]: the main capture window on the data directory.
#include <QApplication>
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
    app::wireWindows(form, db);
    form.show();
    return app.exec();
}
