// Form1: the disk for the ministry. Saves and checks the general data, has
// four tables packed, copies six tables to the diskette and re-reads.
#include <QProcess>
#include <QProcessEnvironment>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#include "capture/form1.h"
#include "store/platform/syncfile.h"
#include "ui/maskededit.h"
#include "ui/messagebox.h"

namespace capture {

namespace {

namespace fs = std::filesystem;

// The tables copied, in the order they are handled: the table as the data
// directory holds it and its name on the diskette. The first four are packed.
const struct {
    const char* table;
    const char* target;
} kCopias[] = {
    {"datoprov", "datoprov.dbf"}, {"catdirpl", "catdirpl.dbf"}, {"Sector", "Sector.dbf"},
    {"mercbi", "mercbi.dbf"},     {"prodabas", "prodabas.dbf"}, {"activida", "activida.dbf"},
};

// The packing program rewrites the tables we copy next; a copy must not read
// a table half-way through that. Waiting is bounded so that a packing program
// that hangs cannot keep the window busy for ever.
constexpr int kPackTimeoutMs = 60000;

// From the diskette prompt on, a step that fails is skipped.
template <typename Step>
void ignorando(Step&& step) {
    try {
        step();
    } catch (...) {
    }
}

QString qpath(const fs::path& p) { return QString::fromStdU16String(p.u16string()); }

bool endsWithDbf(const fs::path& p) {
    const std::string name = p.filename().string();
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".dbf";
}

// A target that is not there is no diskette. One that is the data directory
// itself would have its tables deleted before they are copied: not a diskette either.
bool hayDisco(const fs::path& disco, const fs::path& datos) {
    std::error_code ec;
    if (disco.empty() || !fs::is_directory(disco, ec)) return false;
    return !fs::equivalent(disco, datos, ec);
}

// Every file of the diskette's root that "*.dbf" matches, when there is one.
void borraDbf(const fs::path& disco) {
    std::vector<fs::path> viejos;
    std::error_code ec;
    for (fs::directory_iterator it(disco, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fec;
        if (it->is_regular_file(fec) && endsWithDbf(it->path())) viejos.push_back(it->path());
    }
    for (const fs::path& p : viejos) fs::remove(p, ec);
}

// Starts the packing program hidden in the data directory and waits for it.
void empaca(const fs::path& program, const fs::path& datos, const std::string& handOff) {
    if (program.empty()) return;
    QProcess p;
    p.setProgram(qpath(program));
#ifdef Q_OS_WIN
    p.setNativeArguments(QStringLiteral("DatoProv catdirpl Sector  mercbi "));
    p.setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments* args) { args->flags |= CREATE_NO_WINDOW; });
#else
    p.setArguments({QStringLiteral("DatoProv"), QStringLiteral("catdirpl"), QStringLiteral("Sector"),
                    QStringLiteral("mercbi")});
#endif
    p.setWorkingDirectory(qpath(datos));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (const auto eq = handOff.find('='); eq != std::string::npos)
        env.insert(QString::fromStdString(handOff.substr(0, eq)), QString::fromStdString(handOff.substr(eq + 1)));
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start();
    if (!p.waitForStarted(kPackTimeoutMs)) return;
    // No event loop meanwhile: the operator's clicks wait until the copies are done.
    if (!p.waitForFinished(kPackTimeoutMs)) {
        // Packing renames a finished file over each table, so stopping it
        // leaves every table whole, at worst with its deleted rows.
        p.kill();
        p.waitForFinished(5000);
    }
}

// Copies to a scratch name beside the target, flushed, then renamed over it:
// a copy cut off by a full diskette leaves no file under the target's name.
void copia(const fs::path& from, const fs::path& to) {
    std::ifstream in(from, std::ios::binary);
    if (!in) return;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return;
    fs::path tmp = to;
    tmp += ".tmp";
    try {
        store::platform::SyncFile out(tmp, store::platform::SyncFile::Mode::CreateOrTruncate);
        out.writeAt(0, bytes.data(), bytes.size());
        out.sync();
        out.close();
        store::platform::replaceFile(tmp, to);
    } catch (...) {
        std::error_code ec;
        fs::remove(tmp, ec);
    }
}

} // namespace

void Form1::GeneraDisco() {
    if (MaskEdBox1()->maskedText().trimmed().isEmpty()) return;  // nothing typed in the RFC box

    Command1_Click(1);  // whatever the save's outcome, the disk goes on
    ValidaRequeridos();
    if (FaltanDatos != 0) return;

    if (ui::message(this, QString::fromUtf8("Asegúrese de que el disco esté en la unidad A:"),
                    QStringLiteral("Grabar Disco"), ui::Icon::None, ui::Buttons::OkCancel) != ui::Answer::Ok)
        return;

    store::Database& db = dtsDatoProv.database();
    const fs::path datos = db.directory();
    const bool enDisco = hayDisco(disco, datos);

    if (enDisco) ignorando([&] { borraDbf(disco); });
    ignorando([&] { empaca(pack9, datos, pack9Environment); });
    if (enDisco) {
        for (const auto& c : kCopias)
            ignorando([&] { copia(db.tableFile(c.table), disco / c.target); });
    }
    for (const auto& c : kCopias) {
        std::error_code ec;
        if (!enDisco || !fs::exists(disco / c.target, ec))
            ui::message(this, QStringLiteral("Copia incompleta verifique el") + QChar(13) +
                                  QStringLiteral("espacio en disco o utilice un disco nuevo"));
    }
    ui::message(this, QStringLiteral("Puede retirar el disco de la unidad A:"), QStringLiteral("Disco grabado."));

    // Moving dtsDatoProv runs its hook, which returns the window to browsing.
    for (store::DataSource* s : {&dtsDatoProv, &impsectro, &dtsplantas}) {
        ignorando([&] { s->refresh(); });
        ignorando([&] { s->moveFirst(); });
        ignorando([&] { s->edit(); });
    }
    // The annexes window is modal and made afresh each time it is shown, so
    // it is not loaded here: its data sources open on the packed tables next time.
}

} // namespace capture
