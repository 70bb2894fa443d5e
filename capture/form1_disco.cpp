// Form1: the disk for the ministry. Saves and checks the general data, has
// four tables packed, copies six tables to the diskette and re-reads.
#include <cctype>
#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "capture/form1.h"
#include "store/platform/process.h"
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
constexpr std::chrono::minutes kPackTimeout{1};

// From the diskette prompt on, a step that fails is skipped.
template <typename Step>
void ignorando(Step&& step) {
    try {
        step();
    } catch (...) {
    }
}

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
// Its command line is the fixed one, blanks included, as the program is
// started on Windows.
void empaca(const fs::path& program, const fs::path& datos, const std::string& handOff) {
    if (program.empty()) return;
    store::platform::ProcessOptions options;
    options.directory = datos;
    if (handOff.find('=') != std::string::npos) options.environment.push_back(handOff);
    options.verbatim = true;
    store::platform::Process p(program, {"DatoProv catdirpl Sector  mercbi "}, options);
    // No event loop meanwhile: the operator's clicks wait until the copies are done.
    if (!p.wait(kPackTimeout)) {
        // Packing renames a finished file over each table, so stopping it
        // leaves every table whole, at worst with its deleted rows.
        p.kill();
    }
}

} // namespace

void Form1::GeneraDisco() {
    if (MaskEdBox1->maskedText().trimmed().isEmpty()) return;  // nothing typed in the RFC box

    Command1_Click(kSave);  // whatever the save's outcome, the disk goes on
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
            ignorando([&] { store::platform::copyFile(db.tableFile(c.table), disco / c.target); });
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
