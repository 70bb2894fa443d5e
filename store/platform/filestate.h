// What tells whether a file changed since it was read, without relying on the
// resolution of its modification time (whole seconds on some systems, two
// seconds on FAT): the file's identity, its size and the finest stamps the
// system keeps.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace store::platform {

struct FileState {
    std::uint64_t device = 0;  // volume
    std::uint64_t index = 0;   // the file on its volume: a file renamed over it differs
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // last write, in the system's finest unit
    std::int64_t changed = 0;   // last change of contents or attributes; 0 where not kept
    bool operator==(const FileState&) const = default;
};

// The state of the file now; nullopt when it cannot be read (missing, say).
std::optional<FileState> fileState(const std::filesystem::path& file);

}  // namespace store::platform
