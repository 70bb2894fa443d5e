// Where the data directory lives, its shipped defaults, and the lock that
// keeps a second program from writing the same tables.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace store {

// --datos DIR (given here as `fromCommandLine`), else ZELTAR_DATOS, else
// C:\ZELTAR on Windows and ~/ZELTAR elsewhere.
std::filesystem::path dataDirectory(const std::optional<std::filesystem::path>& fromCommandLine);

// Where the disk for the ministry is written ("drive A:"): --disco DIR (given
// here as `fromCommandLine`), else ZELTAR_DISCO, else A:\ on Windows and
// ~/ZELTAR-A elsewhere. A directory that does not exist means no diskette.
std::filesystem::path diskDirectory(const std::optional<std::filesystem::path>& fromCommandLine);

// diskDirectory(fromCommandLine), with the default folder of the home
// directory created when missing, so that the first disk can be written
// there. A directory chosen by --disco or ZELTAR_DISCO, and a drive, are left
// as they are. A folder that cannot be created is left to count as no
// diskette.
std::filesystem::path prepareDiskDirectory(const std::optional<std::filesystem::path>& fromCommandLine);

// Where `folder` lies against `other`: the same folder, inside it, holding
// it, or apart. Links are followed and names compared as the file system
// does (without regard to case on Windows); a folder that does not exist is
// placed by the part of its path that does.
enum class FolderRelation { Apart, Same, Inside, Holds };
FolderRelation folderRelation(const std::filesystem::path& folder, const std::filesystem::path& other);

// Creates the directory and whatever of the seven tables and considera.txt is
// missing (the catalogues filled, the application tables empty). Never
// overwrites a file. Returns the names of the files it created. Throws
// StoreError with a Spanish message when the directory cannot be created or
// written.
std::vector<std::string> ensureDataDirectory(const std::filesystem::path& dir);

// Copies the seven tables of the data directory, as they are, into a new
// folder of it named `name` (or name-2, name-3, ... when that is taken), and
// returns the folder. The copies are made in a scratch folder that is renamed
// into place once every table is on the disk, so the folder is whole or
// absent. Throws StoreError with a Spanish message when a table is missing or
// cannot be copied; nothing is left behind then.
std::filesystem::path backupTables(const std::filesystem::path& dir, const std::string& name);

// The shipped text of considera.txt (UTF-8).
const std::string& shippedConsiderations();

// An advisory lock on a file of the data directory, held for the life of the
// object. The operating system drops it when its holder dies, so a crash never
// leaves the directory blocked.
class DirectoryLock {
public:
    // Takes the lock, or returns nullptr when another program holds it. A
    // process started by the holder with handOffEnvironment() in its
    // environment is let in. Throws StoreError when the lock file cannot be
    // made.
    static std::unique_ptr<DirectoryLock> acquire(const std::filesystem::path& dir);
    ~DirectoryLock();

    // NAME=VALUE to put into the environment of a child that may work on the
    // directory while this lock is held (the packing program).
    std::string handOffEnvironment() const;

    struct Impl;

private:
    explicit DirectoryLock(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d_;
};

// The message shown when the lock is held by another program.
std::string lockedMessage(const std::filesystem::path& dir);

}  // namespace store
