// Advisory file locks: flock() on POSIX systems, LockFileEx() on Windows. In
// both cases the lock belongs to an open file that the child processes do not
// inherit, so it ends with the process that took it, crash or not.
#include "store/platform/lock.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "store/dbf.h"
#include "store/platform/errors.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace store::platform {

namespace {

[[noreturn]] void fail(const std::filesystem::path& file, const std::string& reason) {
    throw StoreError("No se puede usar el archivo de bloqueo " + file.string() + ": " + reason);
}

#ifdef _WIN32

std::string lastError() { return windowsErrorText(GetLastError()); }

// The lock covers one byte far past the token, so that the token stays
// readable while the lock is held (Windows locks are mandatory).
constexpr DWORD kLockOffsetHigh = 1;

class WinLockFile final : public LockFile {
public:
    explicit WinLockFile(HANDLE h) : h_(h) {}
    ~WinLockFile() override {
        OVERLAPPED ov{};
        ov.OffsetHigh = kLockOffsetHigh;
        UnlockFileEx(h_, 0, 1, 0, &ov);
        CloseHandle(h_);
    }
    void writeText(const std::string& text) override {
        LARGE_INTEGER zero{};
        SetFilePointerEx(h_, zero, nullptr, FILE_BEGIN);
        SetEndOfFile(h_);
        DWORD written = 0;
        if (!WriteFile(h_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) || written != text.size())
            throw StoreError("No se puede escribir el archivo de bloqueo: " + lastError());
        FlushFileBuffers(h_);
    }

private:
    HANDLE h_;
};

#else

std::string lastError() { return errorText(std::error_code(errno, std::generic_category())); }

class PosixLockFile final : public LockFile {
public:
    explicit PosixLockFile(int fd) : fd_(fd) {}
    ~PosixLockFile() override {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
    }
    void writeText(const std::string& text) override {
        if (::ftruncate(fd_, 0) != 0)
            throw StoreError("No se puede escribir el archivo de bloqueo: " + lastError());
        std::size_t done = 0;
        while (done < text.size()) {
            ssize_t n = ::pwrite(fd_, text.data() + done, text.size() - done, static_cast<off_t>(done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                throw StoreError("No se puede escribir el archivo de bloqueo: " + lastError());
            done += static_cast<std::size_t>(n);
        }
    }

private:
    int fd_;
};

#endif

}  // namespace

std::unique_ptr<LockFile> tryLock(const std::filesystem::path& file) {
#ifdef _WIN32
    HANDLE h = CreateFileW(file.wstring().c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        fail(file, lastError());
    OVERLAPPED ov{};
    ov.OffsetHigh = kLockOffsetHigh;
    if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &ov)) {
        DWORD err = GetLastError();
        CloseHandle(h);
        if (err == ERROR_LOCK_VIOLATION || err == ERROR_IO_PENDING)
            return nullptr;
        fail(file, "error " + std::to_string(static_cast<unsigned long>(err)));
    }
    return std::make_unique<WinLockFile>(h);
#else
    int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        fail(file, lastError());
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            return nullptr;
        errno = err;
        fail(file, lastError());
    }
    return std::make_unique<PosixLockFile>(fd);
#endif
}

std::string readText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return {};
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return text;
}

}  // namespace store::platform
