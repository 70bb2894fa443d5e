// The operating-system side of the data directory lock: an exclusive advisory
// lock on one file, dropped by the system when the holding process ends.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace store::platform {

class LockFile {
public:
    virtual ~LockFile() = default;
    // Replaces the text kept in the file (the hand-off token).
    virtual void writeText(const std::string& text) = 0;
};

// Opens (creating) the file and takes its lock without waiting. Returns
// nullptr when another holder has it. Throws StoreError when the file cannot
// be opened or the lock cannot be asked for.
std::unique_ptr<LockFile> tryLock(const std::filesystem::path& file);

// Text kept in the file, read without taking the lock ("" when unreadable).
std::string readText(const std::filesystem::path& file);

}  // namespace store::platform
