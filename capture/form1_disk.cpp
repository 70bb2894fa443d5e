// Form1: the disk for the ministry. Saves and checks the general data, has
// four tables packed, copies six tables to the diskette and re-reads.
#include <cctype>
#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "capture/form1.h"
#include "store/datadir.h"
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

// A target that is not there is no diskette.
bool isDiskette(const fs::path& diskette) {
    std::error_code ec;
    return !diskette.empty() && fs::is_directory(diskette, ec);
}

QString shown(const fs::path& p) { return QString::fromStdU16String(p.u16string()); }

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
    if (!diskCanBeWritten())
        return;

    if (ui::message(this, QString::fromUtf8("Asegúrese de que el disco esté en la unidad A:"),
                    QStringLiteral("Grabar Disco"), ui::Icon::None, ui::Buttons::OkCancel)
        != ui::Answer::Ok)
        return;

    store::Database& db = dtsDatoProv.database();
    const fs::path dataDir = db.directory();
    const bool onDiskette = isDiskette(diskette);

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

// Before anything is packed or copied: a disk folder that shares files with
// the data directory would have the tables deleted or copied over
// themselves, and a damaged table must not be packed or sent.
bool Form1::diskCanBeWritten() {
    store::Database& db = dtsDatoProv.database();
    const QString hint = QStringLiteral(" No se grabó nada: abra el programa con --disco y otra carpeta.");
    switch (store::folderRelation(diskette, db.directory())) {
    case store::FolderRelation::Same:
        ui::message(this,
                    QStringLiteral("La carpeta del disco es la carpeta de datos (%1).").arg(shown(diskette)) + hint);
        return false;
    case store::FolderRelation::Inside:
        ui::message(this, QStringLiteral("La carpeta del disco (%1) está dentro de la carpeta de datos (%2).")
                                  .arg(shown(diskette), shown(db.directory()))
                              + hint);
        return false;
    case store::FolderRelation::Holds:
        ui::message(this, QStringLiteral("La carpeta del disco (%1) contiene la carpeta de datos (%2).")
                                  .arg(shown(diskette), shown(db.directory()))
                              + hint);
        return false;
    case store::FolderRelation::Apart: break;
    }
    QStringList damaged;
    for (const auto& c : store::kDiskTables) {
        try {
            const store::DbfTable& t = db.table(c.table);
            if (t.damage().any())
                damaged << shown(t.path().filename());
        } catch (const store::StoreError&) {
            // One that cannot be read at all is left to the copy, which says
            // when it did not reach the diskette.
        }
    }
    if (damaged.isEmpty())
        return true;
    const bool one = damaged.size() == 1;
    ui::message(this, (one ? QStringLiteral("La tabla %1 está dañada") : QStringLiteral("Las tablas %1 están dañadas"))
                              .arg(damaged.join(QStringLiteral(", ")))
                          + QStringLiteral(": no se grabó el disco. Cierre el programa y ábralo de nuevo para %1.")
                                .arg(one ? QStringLiteral("repararla") : QStringLiteral("repararlas")));
    return false;
}

}  // namespace capture
