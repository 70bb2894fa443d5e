// The data directory: where it is, how a fresh one is made from the shipped
// defaults, and the lock that keeps two programs from writing its tables.
#include "store/datadir.h"

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <random>
#include <set>
#include <sstream>
#include <system_error>

#include "store/database.h"
#include "store/dbf.h"
#include "store/platform/errors.h"
#include "store/platform/lock.h"
#include "store/platform/program.h"
#include "store/platform/syncfile.h"
#include "store/schema.h"
#include "store/shipped.h"
#include "store/text.h"

namespace fs = std::filesystem;

namespace store {

namespace {

constexpr const char* kLockFileName = "zeltar.lck";
constexpr const char* kTokenVariable = "ZELTAR_LOCK_TOKEN";
constexpr const char* kConsiderations = "considera.txt";

std::string randomHex(std::size_t digits) {
    std::random_device rd;
    std::mt19937_64 gen((static_cast<std::uint64_t>(rd()) << 32) ^ rd());
    static const char* hex = "0123456789abcdef";
    std::string s;
    for (std::size_t i = 0; i < digits; ++i)
        s += hex[gen() & 0xF];
    return s;
}

std::string nonEmptyEnv(const char* name) { return platform::environmentVariable(name); }

// A path from UTF-8 text (a path made from a plain string reads it in the
// system's code page on Windows).
fs::path utf8Path(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

[[noreturn]] void cannotWrite(const fs::path& dir, const std::string& reason) {
    throw StoreError("No se puede escribir en el directorio de datos " + dir.string() + ": " + reason);
}

// A code of a shipped catalogue, read the same whatever the locale.
double number(const TableLayout& layout, const std::string& text) {
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size())
        throw StoreError("El catálogo " + layout.name + " incluido en el programa está dañado: " + text);
    return v;
}

// The catalogue rows of a shipped TSV file (first line: column names).
std::vector<Row> catalogueRows(const TableLayout& layout, std::string_view tsv) {
    std::vector<Row> rows;
    std::istringstream in{std::string(tsv)};
    std::string line;
    bool header = true;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (header) {
            header = false;
            continue;
        }
        if (line.empty())
            continue;
        std::vector<std::string> cols;
        std::size_t start = 0;
        for (;;) {
            std::size_t tab = line.find('\t', start);
            cols.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        if (cols.size() != layout.fields.size())
            throw StoreError("El catálogo " + layout.name + " incluido en el programa está dañado: " + line);
        Row row;
        for (std::size_t i = 0; i < cols.size(); ++i) {
            if (cols[i].empty())
                row.emplace_back();
            else if (layout.fields[i].type == FieldType::Numeric || layout.fields[i].type == FieldType::Float)
                row.emplace_back(number(layout, cols[i]));
            else
                row.emplace_back(cols[i]);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// Moves a finished temporary file to its name without ever replacing a file
// that appeared there meanwhile. Returns false when one did.
bool publish(const fs::path& tmp, const fs::path& target) {
    std::error_code ec;
    fs::create_hard_link(tmp, target, ec);  // fails when the target exists
    if (!ec) {
        fs::remove(tmp, ec);
        return true;
    }
    if (fs::exists(target)) {
        fs::remove(tmp, ec);
        return false;
    }
    // File systems without hard links (FAT): a plain rename.
    fs::rename(tmp, target);
    return true;
}

template <typename Write> bool createFile(const fs::path& dir, const std::string& fileName, Write write) {
    const fs::path tmp = dir / (".zeltar-" + randomHex(12) + ".tmp");
    try {
        write(tmp);
        return publish(tmp, dir / fileName);
    } catch (const std::exception& e) {
        std::error_code ec;
        fs::remove(tmp, ec);
        cannotWrite(dir, platform::errorText(e));
    }
}

}  // namespace

namespace {

// The command line, else the environment variable, else the fixed Windows
// path, else a folder of that name in the home directory.
fs::path chosenDirectory(const std::optional<fs::path>& fromCommandLine, const char* variable,
                         [[maybe_unused]] const char* windowsPath, [[maybe_unused]] const char* homeFolder) {
    if (fromCommandLine && !fromCommandLine->empty())
        return *fromCommandLine;
    if (std::string env = nonEmptyEnv(variable); !env.empty())
        return utf8Path(env);
#ifdef _WIN32
    return fs::path(windowsPath);
#else
    std::string home = nonEmptyEnv("HOME");
    if (home.empty())
        home = nonEmptyEnv("USERPROFILE");
    if (home.empty())
        return fs::path(homeFolder);
    return utf8Path(home) / homeFolder;
#endif
}

}  // namespace

fs::path dataDirectory(const std::optional<fs::path>& fromCommandLine) {
    return chosenDirectory(fromCommandLine, "ZELTAR_DATOS", "C:\\ZELTAR", "ZELTAR");
}

fs::path diskDirectory(const std::optional<fs::path>& fromCommandLine) {
    return chosenDirectory(fromCommandLine, "ZELTAR_DISCO", "A:\\", "ZELTAR-A");
}

fs::path prepareDiskDirectory(const std::optional<fs::path>& fromCommandLine) {
    const fs::path dir = diskDirectory(fromCommandLine);
#ifndef _WIN32
    const bool chosen = (fromCommandLine && !fromCommandLine->empty()) || !nonEmptyEnv("ZELTAR_DISCO").empty();
    if (!chosen) {
        std::error_code ec;
        fs::create_directories(dir, ec);
    }
#endif
    return dir;
}

FolderRelation folderRelation(const fs::path& folder, const fs::path& other) {
    if (folder.empty() || other.empty())
        return FolderRelation::Apart;
    std::error_code ec;
    const fs::path a = fs::weakly_canonical(fs::absolute(folder, ec), ec);
    const fs::path b = fs::weakly_canonical(fs::absolute(other, ec), ec);
    if (a.empty() || b.empty())
        return FolderRelation::Apart;  // a path the system cannot place shares nothing we could copy over
    // Whether `inner` is `outer` or lies below it.
    const auto within = [](fs::path inner, const fs::path& outer) {
        for (;;) {
            std::error_code e;
            if (inner == outer || fs::equivalent(inner, outer, e))
                return true;
            if (inner == inner.parent_path() || inner.parent_path().empty())
                return false;
            inner = inner.parent_path();
        }
    };
    if (within(a, b))
        return within(b, a) ? FolderRelation::Same : FolderRelation::Inside;
    return within(b, a) ? FolderRelation::Holds : FolderRelation::Apart;
}

std::vector<std::string> ensureDataDirectory(const fs::path& dir) {
    std::error_code ec;
    if (fs::exists(dir, ec) && !fs::is_directory(dir, ec))
        throw StoreError("No se puede crear el directorio de datos " + dir.string()
                         + ": existe un archivo con ese nombre.");
    fs::create_directories(dir, ec);
    if (ec)
        throw StoreError("No se puede crear el directorio de datos " + dir.string() + ": " + platform::errorText(ec));

    // What is there already, without regard to case.
    std::set<std::string> present;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        present.insert(upperAscii(it->path().filename().string()));
    if (ec)
        throw StoreError("No se puede leer el directorio de datos " + dir.string() + ": " + platform::errorText(ec));

    std::vector<std::string> created;
    for (const TableLayout& layout : tableLayouts()) {
        const std::string fileName = layout.name + ".dbf";
        if (present.count(upperAscii(fileName)))
            continue;
        std::string_view tsv = shipped::file(layout.name + ".tsv");
        bool made = createFile(dir, fileName, [&](const fs::path& tmp) {
            if (tsv.empty())
                DbfTable::create(tmp, layout.fields);
            else
                DbfTable::createWithRows(tmp, layout.fields, catalogueRows(layout, tsv));
        });
        if (made)
            created.push_back(fileName);
    }

    if (!present.count(upperAscii(kConsiderations))) {
        bool made = createFile(dir, kConsiderations, [](const fs::path& tmp) {
            const std::string& text = shippedConsiderations();
            platform::SyncFile out(tmp, platform::SyncFile::Mode::CreateOrTruncate);
            out.writeAt(0, text.data(), text.size());
            out.sync();
            out.close();
        });
        if (made)
            created.push_back(kConsiderations);
    }
    return created;
}

fs::path backupTables(const fs::path& dir, const std::string& name) {
    fs::path target = dir / utf8Path(name);
    std::error_code ec;
    for (int n = 2; fs::exists(target, ec) || ec; ++n) {
        if (ec || n > 99)
            throw StoreError("No se puede hacer el respaldo en " + target.string() + ": "
                             + (ec ? platform::errorText(ec) : "ya existe."));
        target = dir / utf8Path(name + "-" + std::to_string(n));
    }
    fs::path scratch = target;
    scratch += ".tmp";
    try {
        const Database db(dir);
        fs::remove_all(scratch);  // left by a backup cut off before
        fs::create_directory(scratch);
        for (const TableLayout& layout : tableLayouts()) {
            const fs::path file = db.tableFile(layout.name);
            platform::copyFile(file, scratch / file.filename());
        }
        platform::renameToNew(scratch, target);
    } catch (const std::exception& e) {
        fs::remove_all(scratch, ec);
        throw StoreError("No se puede hacer el respaldo en " + target.string() + ": " + platform::errorText(e));
    }
    return target;
}

const std::string& shippedConsiderations() {
    static const std::string text(shipped::file(kConsiderations));
    return text;
}

// ---------------------------------------------------------------- the lock

struct DirectoryLock::Impl {
    std::unique_ptr<platform::LockFile> file;  // null when let in by a hand-off
    std::string token;
};

DirectoryLock::DirectoryLock(std::unique_ptr<Impl> impl) : d_(std::move(impl)) {}

DirectoryLock::~DirectoryLock() {
    if (d_ && d_->file) {
        // A stale token must not let anybody in once the lock is gone.
        try {
            d_->file->writeText("");
        } catch (const std::exception&) {
        }
    }
}

std::unique_ptr<DirectoryLock> DirectoryLock::acquire(const fs::path& dir) {
    const fs::path file = dir / kLockFileName;
    auto impl = std::make_unique<Impl>();
    impl->file = platform::tryLock(file);
    if (impl->file) {
        impl->token = randomHex(32);
        impl->file->writeText(impl->token);
        return std::unique_ptr<DirectoryLock>(new DirectoryLock(std::move(impl)));
    }
    // Held by another program: let in only the child it handed its token to.
    const std::string offered = nonEmptyEnv(kTokenVariable);
    if (offered.empty() || platform::readText(file) != offered)
        return nullptr;
    impl->token = offered;
    return std::unique_ptr<DirectoryLock>(new DirectoryLock(std::move(impl)));
}

std::string DirectoryLock::handOffEnvironment() const { return std::string(kTokenVariable) + "=" + d_->token; }

std::string lockedMessage(const fs::path& dir) {
    return "Otro programa ZELTAR ya está usando el directorio de datos " + dir.string()
           + ". Ciérrelo antes de continuar.";
}

}  // namespace store
