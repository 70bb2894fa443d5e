// zeltar [--datos DIR] [--disco DIR]: the main capture window on the data
// directory; the disk for the ministry is written to the --disco directory.
// zeltar [--datos DIR] --cuestionario FILE: the saved application's
// questionnaire as FILE.txt and FILE.pdf, without a display.
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QIcon>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string_view>

#include "app/export.h"
#include "app/programfiles.h"
#include "app/windows.h"
#include "capture/form1.h"
#include "store/database.h"
#include "store/datadir.h"
#include "store/dbf.h"
#include "store/platform/program.h"
#include "ui/messagebox.h"
#include "ui/translation.h"

namespace {

// The texts of --help: how to reach a USB stick, and the defaults.
#ifdef Q_OS_WIN
const char* const kUsb =
    "conéctela, vea qué letra le dio Windows\n(por ejemplo E:) y abra el programa con --disco E:\\";
const char* const kDatosDefault = "C:\\ZELTAR";
const char* const kDiscoDefault = "A:\\";
#else
const char* const kUsb =
    "conéctela y dé la carpeta donde el\nsistema la muestra, por ejemplo: zeltar --disco /media/USUARIO/MEMORIA";
const char* const kDatosDefault = "~/ZELTAR";
const char* const kDiscoDefault = "~/ZELTAR-A";
#endif
const QString kDescription = QStringLiteral("Disco de Captura para solicitudes ZELTAR 3.0.\n\n"
                                            "Para grabar el disco en una memoria USB, %1")
                                 .arg(QString::fromUtf8(kUsb));
const QString kDatos = QStringLiteral("Carpeta de datos de la solicitud (si no se da: ZELTAR_DATOS, o %1).")
                           .arg(QString::fromUtf8(kDatosDefault));
const QString kDisco = QStringLiteral("Carpeta donde se graba el disco (si no se da: ZELTAR_DISCO, o %1).")
                           .arg(QString::fromUtf8(kDiscoDefault));

// The command line: --datos, --disco, the help and the version.
struct CommandLine {
    QCommandLineParser parser;
    // Qt's own help option is described in English whatever the translation.
    const QCommandLineOption ayuda{{QStringLiteral("h"), QStringLiteral("help")},
                                   QStringLiteral("Muestra esta ayuda.")};
    const QCommandLineOption datos{QStringLiteral("datos"), kDatos, QStringLiteral("DIR")};
    const QCommandLineOption disco{QStringLiteral("disco"), kDisco, QStringLiteral("DIR")};
    const QCommandLineOption cuestionario{
        QStringLiteral("cuestionario"),
        QStringLiteral("Escribe el cuestionario de la solicitud guardada en ARCHIVO.txt (el texto) y ARCHIVO.pdf (lo\n"
                       "que se imprime) y termina, sin mostrar ventanas."),
        QStringLiteral("ARCHIVO")};

    // Ends the program after the help or the version.
    void process(QCoreApplication& app) {
        QCoreApplication::setApplicationName(QStringLiteral("zeltar"));
        QCoreApplication::setApplicationVersion(QStringLiteral("3.0"));
        ui::installSpanishTranslation();
        parser.setApplicationDescription(kDescription);
        parser.addOption(ayuda);
        parser.addVersionOption();
        parser.addOption(datos);
        parser.addOption(disco);
        parser.addOption(cuestionario);
        parser.process(app);
        if (parser.isSet(ayuda))
            parser.showHelp(0);
    }
};

// Only the help or the version is asked for.
[[maybe_unused]] bool onlyText(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "-h" || a == "--help" || a == "-v" || a == "--version")
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
#ifndef Q_OS_WIN
    // Answered on the terminal without a display (on Windows Qt shows them
    // in a box, which needs the window system).
    if (onlyText(argc, argv)) {
        QCoreApplication core(argc, argv);
        CommandLine().process(core);
    }
#endif
    if (app::asksForQuestionnaire(argc, argv)) {
        // No window is shown: no display is needed.
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef Q_OS_WIN
        // That platform reads fonts from a folder; the system's own by default.
        if (!qEnvironmentVariableIsSet("QT_QPA_FONTDIR"))
            qputenv("QT_QPA_FONTDIR", (qEnvironmentVariable("WINDIR") + QStringLiteral("\\Fonts")).toLocal8Bit());
#endif
    }
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("zeltar"));
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/zeltar/icons/zeltar-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    // Before anything is shown.
    CommandLine commandLine;
    commandLine.process(app);
    const QCommandLineParser& parser = commandLine.parser;
    const QCommandLineOption& datos = commandLine.datos;
    const QCommandLineOption& disco = commandLine.disco;

    std::optional<std::filesystem::path> fromCommandLine;
    if (parser.isSet(datos))
        fromCommandLine = std::filesystem::path(parser.value(datos).toStdU16String());
    const std::filesystem::path dir = store::dataDirectory(fromCommandLine);

    if (parser.isSet(commandLine.cuestionario)) {
        QStringList messages;
        const int status = app::writeQuestionnaire(dir, parser.value(commandLine.cuestionario), messages);
        store::platform::attachParentConsole();
        store::platform::useUtf8Output();
        for (const QString& m : messages)
            std::cerr << m.toStdString() << "\n";
        return status;
    }

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
    if (form.loadFailed())
        return 1;
    std::optional<std::filesystem::path> discoDir;
    if (parser.isSet(disco))
        discoDir = std::filesystem::path(parser.value(disco).toStdU16String());
    form.diskette = store::prepareDiskDirectory(discoDir);
    // The packing program comes with this one and works past our lock.
    form.pack9 = app::programFiles().pack9;
    form.pack9Environment = lock->handOffEnvironment();
    app::wireWindows(form, db);
    form.show();
    return app.exec();
}
