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
#include "store/schema.h"
#include "ui/maskededit.h"
#include "ui/messagebox.h"

namespace capture {

namespace {

namespace fs = std::filesystem;

// The packing program rewrites the tables we copy next; a copy must not read
// a table half-way through that. Waiting is bounded so that a packing program
// that hangs cannot keep the window busy for ever.
constexpr std::chrono::minutes kPackTimeout{1};

// From the diskette prompt on, a step that fails is skipped.
template <typename Step> void ignoringErrors(Step&& step) {
    try {
        step();
    } catch (...) {
    }
}

bool endsWithDbf(const fs::path& p) {
    const std::string name = p.filename().string();
    if (name.size() < 4)
        return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".dbf";
}

// A target that is not there is no diskette. One that is the data directory
// itself would have its tables deleted before they are copied: not a diskette either.
bool isDiskette(const fs::path& diskette, const fs::path& dataDir) {
    std::error_code ec;
    if (diskette.empty() || !fs::is_directory(diskette, ec))
        return false;
    return !fs::equivalent(diskette, dataDir, ec);
}

// Every file of the diskette's root that "*.dbf" matches, when there is one.
void deleteTables(const fs::path& diskette) {
    std::vector<fs::path> old;
    std::error_code ec;
    for (fs::directory_iterator it(diskette, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fec;
        if (it->is_regular_file(fec) && endsWithDbf(it->path()))
            old.push_back(it->path());
    }
    for (const fs::path& p : old)
        fs::remove(p, ec);
}

// Starts the packing program hidden in the data directory and waits for it.
// Its command line is the fixed one, blanks included, as the program is
// started on Windows.
void packTables(const fs::path& program, const fs::path& dataDir, const std::string& handOff) {
    if (program.empty())
        return;
    store::platform::ProcessOptions options;
    options.directory = dataDir;
    if (handOff.find('=') != std::string::npos)
        options.environment.push_back(handOff);
    options.verbatim = true;
    store::platform::Process p(program, {"DatoProv catdirpl Sector  mercbi "}, options);
    // No event loop meanwhile: the operator's clicks wait until the copies are done.
    if (!p.wait(kPackTimeout)) {
        // Packing renames a finished file over each table, so stopping it
        // leaves every table whole, at worst with its deleted rows.
        p.kill();
    }
}

}  // namespace

void Form1::makeDisk() {
    if (MaskEdBox1->maskedText().trimmed().isEmpty())
        return;  // nothing typed in the RFC box

    Command1_Click(kSave);  // whatever the save's outcome, the disk goes on
    ValidaRequeridos();
    if (FaltanDatos != 0)
        return;

    if (ui::message(this, QString::fromUtf8("Asegúrese de que el disco esté en la unidad A:"),
                    QStringLiteral("Grabar Disco"), ui::Icon::None, ui::Buttons::OkCancel)
        != ui::Answer::Ok)
        return;

    store::Database& db = dtsDatoProv.database();
    const fs::path dataDir = db.directory();
    const bool onDiskette = isDiskette(diskette, dataDir);

    if (onDiskette)
        ignoringErrors([&] { deleteTables(diskette); });
    ignoringErrors([&] { packTables(pack9, dataDir, pack9Environment); });
    if (onDiskette) {
        for (const auto& c : store::kDiskTables)
            ignoringErrors([&] { store::platform::copyFile(db.tableFile(c.table), diskette / c.file); });
    }
    for (const auto& c : store::kDiskTables) {
        std::error_code ec;
        if (!onDiskette || !fs::exists(diskette / c.file, ec))
            ui::message(this, QStringLiteral("Copia incompleta verifique el") + QChar(13)
                                  + QStringLiteral("espacio en disco o utilice un disco nuevo"));
    }
    ui::message(this, QStringLiteral("Puede retirar el disco de la unidad A:"), QStringLiteral("Disco grabado."));

    // Moving dtsDatoProv runs its hook, which returns the window to browsing.
    for (store::DataSource* s : {&dtsDatoProv, &impsectro, &dtsplantas}) {
        ignoringErrors([&] { s->refresh(); });
        ignoringErrors([&] { s->moveFirst(); });
        ignoringErrors([&] { s->edit(); });
    }
    // The annexes window is modal and made afresh each time it is shown, so
    // it is not loaded here: its data sources open on the packed tables next time.
}

}  // namespace capture
