#include "store/platform/filestate.h"

#ifdef _WIN32
#include "store/platform/wide.h"
#else
#include <sys/stat.h>
#endif

namespace store::platform {

#ifdef _WIN32

namespace {
std::int64_t ticks(const FILETIME& t) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
}
}  // namespace

std::optional<FileState> fileState(const std::filesystem::path& file) {
    // Attribute access only, sharing everything: no other program is hindered.
    const HANDLE h =
        CreateFileW(file.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(h, &info);
    FILE_BASIC_INFO basic{};
    const bool haveBasic = ok && GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic);
    CloseHandle(h);
    if (!ok)
        return std::nullopt;
    FileState s;
    s.device = info.dwVolumeSerialNumber;
    s.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    s.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    s.modified = ticks(info.ftLastWriteTime);
    s.changed = haveBasic ? basic.ChangeTime.QuadPart : 0;
    return s;
}

#else

std::optional<FileState> fileState(const std::filesystem::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        return std::nullopt;
    FileState s;
    s.device = static_cast<std::uint64_t>(st.st_dev);
    s.index = static_cast<std::uint64_t>(st.st_ino);
    s.size = static_cast<std::uint64_t>(st.st_size);
    s.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.changed = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return s;
}

#endif

}  // namespace store::platform
