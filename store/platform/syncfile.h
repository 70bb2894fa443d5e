// The few file operations whose durability the tables rely on: positioned
// writes flushed to the disk, a rename that replaces the target, and a copy
// that never leaves a partial file under the target's name.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <system_error>

namespace store::platform {

// A file opened for writing. Errors throw std::system_error.
class SyncFile {
public:
    enum class Mode {
        OpenExisting,      // read/write, the file must exist
        CreateOrTruncate,  // a scratch file: created, or emptied when left over
    };

    SyncFile(const std::filesystem::path& file, Mode mode);
    ~SyncFile();
    SyncFile(const SyncFile&) = delete;
    SyncFile& operator=(const SyncFile&) = delete;

    void writeAt(std::uint64_t offset, const void* data, std::size_t size);
    // Reads exactly size bytes at offset; false when the file is shorter.
    bool readAt(std::uint64_t offset, void* data, std::size_t size);
    // Waits until what was written is on the disk.
    void sync();
    void close();

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// Thrown by replaceFile when another program kept the target (or the new
// file) open through the whole wait; both files are as they were.
class FileInUse : public std::system_error {
public:
    using std::system_error::system_error;
};

// How long replaceFile waits for another program to let go of the target:
// on Windows a scanner or indexer holds a file for moments at a time.
inline constexpr std::chrono::milliseconds kHolderWait{3000};

// Renames from over to (replacing it if it exists) and makes the rename
// durable. On Windows a target held open by another program is retried for
// kHolderWait, then FileInUse is thrown. Other errors throw std::system_error.
void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Renames a file or folder to a name that is free, and makes the rename
// durable. Throws std::system_error, also when `to` exists.
void renameToNew(const std::filesystem::path& from, const std::filesystem::path& to);

// Copies from over to: the bytes go to a scratch name beside to, are flushed,
// and are then renamed over to, so a copy cut off (a full disk) never leaves a
// partial file under to's name. The scratch file is removed on failure.
void copyFile(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace store::platform
