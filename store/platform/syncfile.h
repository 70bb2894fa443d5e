// The few file operations whose durability the tables rely on: positioned
// writes flushed to the disk, and a rename that replaces the target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace store::platform {

// A file opened for writing. Errors throw std::system_error.
class SyncFile {
public:
    enum class Mode {
        OpenExisting,     // read/write, the file must exist
        CreateOrTruncate, // a scratch file: created, or emptied when left over
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

// Renames from over to (replacing it if it exists) and makes the rename durable.
void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to);

} // namespace store::platform
