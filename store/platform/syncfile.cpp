#include "syncfile.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <thread>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace store::platform {

#ifdef _WIN32

namespace {
[[noreturn]] void fail(const char* what) {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}
}  // namespace

SyncFile::SyncFile(const std::filesystem::path& file, Mode mode) {
    // Sharing delete too, so that a pack can rename over a table another handle reads.
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           mode == Mode::OpenExisting ? OPEN_EXISTING : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        fail("CreateFileW");
    handle_ = h;
}

SyncFile::~SyncFile() {
    if (handle_)
        CloseHandle(static_cast<HANDLE>(handle_));
}

void SyncFile::writeAt(std::uint64_t offset, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        OVERLAPPED ov{};
        ov.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
        ov.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(static_cast<HANDLE>(handle_), p, chunk, &written, &ov) || written == 0)
            fail("WriteFile");
        p += written;
        offset += written;
        size -= written;
    }
}

bool SyncFile::readAt(std::uint64_t offset, void* data, std::size_t size) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        OVERLAPPED ov{};
        ov.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
        ov.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD got = 0;
        if (!ReadFile(static_cast<HANDLE>(handle_), p, chunk, &got, &ov)) {
            if (GetLastError() == ERROR_HANDLE_EOF)
                return false;
            fail("ReadFile");
        }
        if (got == 0)
            return false;
        p += got;
        offset += got;
        size -= got;
    }
    return true;
}

void SyncFile::sync() {
    if (!FlushFileBuffers(static_cast<HANDLE>(handle_)))
        fail("FlushFileBuffers");
}

void SyncFile::close() {
    if (handle_ && !CloseHandle(static_cast<HANDLE>(handle_))) {
        handle_ = nullptr;
        fail("CloseHandle");
    }
    handle_ = nullptr;
}

namespace {

// The errors of a file that another program has open.
bool heldByAnother(DWORD err) {
    switch (err) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_ACCESS_DENIED:  // also a file whose deletion waits for its last handle
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: return true;
    default: return false;
    }
}

std::wstring backupName(const std::filesystem::path& to) {
    std::random_device rd;
    std::filesystem::path b = to;
    b += L"." + std::to_wstring(rd() % 1000000) + L".old";
    return b.wstring();
}

// One attempt; 0 on success, else the error. Uses ReplaceFileW where the
// target exists: unlike a rename it succeeds while another handle that shares
// deletion has the target open. The target goes to a backup name first, so no
// failure can leave neither file under the target's name.
DWORD replaceOnce(const std::wstring& from, const std::wstring& to) {
    if (GetFileAttributesW(to.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD err = GetLastError();
        if (err != ERROR_FILE_NOT_FOUND && err != ERROR_PATH_NOT_FOUND)
            return err;
        return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                   ? 0
                   : GetLastError();
    }
    const std::wstring backup = backupName(to);
    if (ReplaceFileW(to.c_str(), from.c_str(), backup.c_str(),
                     REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr)) {
        DeleteFileW(backup.c_str());  // a reader of the old table keeps it until it closes
        return 0;
    }
    const DWORD err = GetLastError();
    if (err == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)  // the old table sits under the backup name
        MoveFileExW(backup.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH);
    return err;
}

}  // namespace

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    // Whole paths: Wine's ReplaceFileW refuses relative ones.
    const std::wstring src = std::filesystem::absolute(from).wstring();
    const std::wstring dst = std::filesystem::absolute(to).wstring();
    const auto deadline = std::chrono::steady_clock::now() + kHolderWait;
    std::chrono::milliseconds pause{10};
    for (;;) {
        const DWORD err = replaceOnce(src, dst);
        if (err == 0)
            return;
        if (!heldByAnother(err))
            throw std::system_error(static_cast<int>(err), std::system_category(), "ReplaceFileW");
        if (std::chrono::steady_clock::now() >= deadline)
            throw FileInUse(static_cast<int>(err), std::system_category(), "ReplaceFileW");
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds{200});
    }
}

void renameToNew(const std::filesystem::path& from, const std::filesystem::path& to) {
    // Without MOVEFILE_REPLACE_EXISTING: folders move too, and a taken name is refused.
    if (!MoveFileExW(std::filesystem::absolute(from).wstring().c_str(), std::filesystem::absolute(to).wstring().c_str(),
                     MOVEFILE_WRITE_THROUGH))
        fail("MoveFileExW");
}

#else

namespace {
[[noreturn]] void fail(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

void syncDirectory(const std::filesystem::path& dir) {
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;  // some file systems cannot open a directory; the rename itself stands
    ::fsync(fd);
    ::close(fd);
}
}  // namespace

SyncFile::SyncFile(const std::filesystem::path& file, Mode mode) {
    const int flags = O_RDWR | O_CLOEXEC | (mode == Mode::OpenExisting ? 0 : (O_CREAT | O_TRUNC));
    fd_ = ::open(file.c_str(), flags, 0666);
    if (fd_ < 0)
        fail("open");
}

SyncFile::~SyncFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

void SyncFile::writeAt(std::uint64_t offset, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, p, size, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("pwrite");
        }
        p += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
}

bool SyncFile::readAt(std::uint64_t offset, void* data, std::size_t size) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = ::pread(fd_, p, size, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("pread");
        }
        if (n == 0)
            return false;
        p += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void SyncFile::sync() {
    while (::fsync(fd_) != 0) {
        if (errno != EINTR)
            fail("fsync");
    }
}

void SyncFile::close() {
    const int fd = fd_;
    fd_ = -1;
    if (fd >= 0 && ::close(fd) != 0 && errno != EINTR)
        fail("close");
}

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::rename(from.c_str(), to.c_str()) != 0)
        fail("rename");
    syncDirectory(to.parent_path());
}

void renameToNew(const std::filesystem::path& from, const std::filesystem::path& to) {
    // rename() would replace an empty folder or a file of that name.
    if (::access(to.c_str(), F_OK) == 0) {
        errno = EEXIST;
        fail("rename");
    }
    replaceFile(from, to);
}

#endif

void copyFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::ifstream in(from, std::ios::binary);
    if (!in)
        throw std::system_error(std::make_error_code(std::errc::no_such_file_or_directory), "copyFile");
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw std::system_error(std::make_error_code(std::errc::io_error), "copyFile");
    std::filesystem::path tmp = to;
    tmp += ".tmp";
    try {
        SyncFile out(tmp, SyncFile::Mode::CreateOrTruncate);
        out.writeAt(0, bytes.data(), bytes.size());
        out.sync();
        out.close();
        replaceFile(tmp, to);
    } catch (...) {
        std::error_code ec;
        std::filesystem::remove(tmp, ec);
        throw;
    }
}

}  // namespace store::platform
