#include "store/platform/process.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

#ifdef _WIN32
#include "store/platform/wide.h"
#else
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace store::platform {

namespace fs = std::filesystem;

namespace {

// The name part of NAME=VALUE.
std::string nameOf(const std::string& entry) { return entry.substr(0, entry.find('=', 1)); }

// Quotes one argument so that the C runtime's parser gives it back as it is:
// backslashes count only before a quote.
std::string quoted(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos)
        return arg;
    std::string q = "\"";
    std::size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        q.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        q += c;
    }
    q.append(backslashes * 2, '\\');
    return q + '"';
}

}  // namespace

std::string windowsCommandLine(const fs::path& program, const std::vector<std::string>& arguments, bool verbatim) {
    const auto u8 = program.u8string();
    std::string line(u8.begin(), u8.end());
    if (line.find_first_of(" \t") != std::string::npos)
        line = '"' + line + '"';
    for (const std::string& a : arguments)
        line += ' ' + (verbatim ? a : quoted(a));
    return line;
}

#ifdef _WIN32

namespace {

[[noreturn]] void fail(const char* what) {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

// A handle the child inherits: the file, or the null device.
HANDLE inheritable(const fs::path& file, bool write) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    const std::wstring name = file.empty() ? L"NUL" : file.wstring();
    const HANDLE h = CreateFileW(
        name.c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &sa,
        write && !file.empty() ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        fail("CreateFileW");
    return h;
}

struct Handles {
    HANDLE in = nullptr, out = nullptr, err = nullptr;
    ~Handles() {
        for (HANDLE h : {in, out, err == out ? nullptr : err})
            if (h)
                CloseHandle(h);
    }
};

// Our environment with the given NAME=VALUE entries put in, as a block of
// NUL-terminated strings ending in an empty one.
std::wstring environmentBlock(const std::vector<std::string>& extra) {
    std::vector<std::wstring> entries;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* p = block; *p; p += wcslen(p) + 1)
            entries.emplace_back(p);
        FreeEnvironmentStringsW(block);
    }
    for (const std::string& e : extra) {
        const std::wstring name = toWide(nameOf(e));
        std::erase_if(entries, [&](const std::wstring& have) {
            const std::wstring haveName = have.substr(0, have.find(L'=', 1));
            return CompareStringOrdinal(haveName.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL;
        });
        entries.push_back(toWide(e));
    }
    std::wstring block;
    for (const std::wstring& e : entries)
        block += e + L'\0';
    return block + L'\0';
}

}  // namespace

Process::Process(const fs::path& program, const std::vector<std::string>& arguments, const ProcessOptions& options) {
    const fs::path exe = fs::absolute(program);
    Handles io;
    io.in = inheritable({}, false);
    io.out = inheritable(options.output, true);
    io.err = !options.errors.empty() && options.errors == options.output ? io.out : inheritable(options.errors, true);
    STARTUPINFOEXW si{};
    si.StartupInfo.cb = sizeof si;
    si.StartupInfo.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    si.StartupInfo.wShowWindow = SW_HIDE;
    si.StartupInfo.hStdInput = io.in;
    si.StartupInfo.hStdOutput = io.out;
    si.StartupInfo.hStdError = io.err;
    // The child inherits these three handles and no other: a file the parent
    // has open (the C runtime's are inheritable) must not stay open in it.
    HANDLE inherited[3] = {io.in, io.out, io.err};
    const DWORD inheritedCount = io.err == io.out ? 2 : 3;
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<char> attributes(size);
    si.lpAttributeList = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
    if (!InitializeProcThreadAttributeList(si.lpAttributeList, 1, 0, &size))
        fail("InitializeProcThreadAttributeList");
    struct Release {
        LPPROC_THREAD_ATTRIBUTE_LIST list;
        ~Release() { DeleteProcThreadAttributeList(list); }
    } release{si.lpAttributeList};
    if (!UpdateProcThreadAttribute(si.lpAttributeList, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                   inheritedCount * sizeof(HANDLE), nullptr, nullptr))
        fail("UpdateProcThreadAttribute");
    std::wstring line = toWide(windowsCommandLine(exe, arguments, options.verbatim));
    std::wstring env = options.environment.empty() ? std::wstring() : environmentBlock(options.environment);
    const std::wstring dir = options.directory.empty() ? std::wstring() : fs::absolute(options.directory).wstring();
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE,
                        CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT | EXTENDED_STARTUPINFO_PRESENT,
                        env.empty() ? nullptr : env.data(), dir.empty() ? nullptr : dir.c_str(), &si.StartupInfo, &pi))
        fail("CreateProcessW");
    CloseHandle(pi.hThread);
    handle_ = pi.hProcess;
}

Process::~Process() {
    if (!ended_)
        kill();
    CloseHandle(static_cast<HANDLE>(handle_));
}

bool Process::wait(std::chrono::milliseconds timeout) {
    if (ended_)
        return true;
    const auto ms = static_cast<DWORD>(std::min<long long>(timeout.count(), INFINITE - 1));
    if (WaitForSingleObject(static_cast<HANDLE>(handle_), ms) != WAIT_OBJECT_0)
        return false;
    DWORD code = 0;
    GetExitCodeProcess(static_cast<HANDLE>(handle_), &code);
    status_ = static_cast<int>(code);
    ended_ = true;
    return true;
}

void Process::kill() {
    if (ended_)
        return;
    TerminateProcess(static_cast<HANDLE>(handle_), 1);
    WaitForSingleObject(static_cast<HANDLE>(handle_), INFINITE);
    killed_ = ended_ = true;
}

fs::path currentProgram() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0)
            fail("GetModuleFileNameW");
        if (n < buf.size())
            return fs::path(buf.substr(0, n));
        buf.resize(buf.size() * 2);
    }
}

#else

namespace {

[[noreturn]] void fail(int err, const char* what) { throw std::system_error(err, std::generic_category(), what); }

int openFor(const fs::path& file, bool write) {
    const int fd = file.empty() ? ::open("/dev/null", (write ? O_WRONLY : O_RDONLY) | O_CLOEXEC)
                                : ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        fail(errno, "open");
    return fd;
}

struct Fds {
    int in = -1, out = -1, err = -1, report[2] = {-1, -1};
    ~Fds() {
        for (int fd : {in, out, err == out ? -1 : err, report[0], report[1]})
            if (fd >= 0)
                ::close(fd);
    }
};

}  // namespace

Process::Process(const fs::path& program, const std::vector<std::string>& arguments, const ProcessOptions& options) {
    // Everything the child needs is made before fork: between fork and exec a
    // threaded program may only make async-signal-safe calls.
    const std::string exe = fs::absolute(program).string();
    std::vector<std::string> args{exe};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        bool replaced = false;
        for (const std::string& x : options.environment)
            replaced = replaced || nameOf(x) == nameOf(entry);
        if (!replaced)
            env.push_back(entry);
    }
    env.insert(env.end(), options.environment.begin(), options.environment.end());
    std::vector<char*> argv, envp;
    for (std::string& a : args)
        argv.push_back(a.data());
    for (std::string& e : env)
        envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const std::string dir = options.directory.string();

    Fds fds;
    fds.in = openFor({}, false);
    fds.out = openFor(options.output, true);
    fds.err = !options.errors.empty() && options.errors == options.output ? fds.out : openFor(options.errors, true);
    // The child reports a failed exec through this pipe; a successful exec closes it.
    if (::pipe2(fds.report, O_CLOEXEC) != 0)
        fail(errno, "pipe2");

    const pid_t pid = ::fork();
    if (pid < 0)
        fail(errno, "fork");
    if (pid == 0) {
#ifdef CLOSE_RANGE_CLOEXEC
        // The child keeps only its three standard files, whatever the parent has open.
        ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
#endif
        if ((dir.empty() || ::chdir(dir.c_str()) == 0) && ::dup2(fds.in, 0) >= 0 && ::dup2(fds.out, 1) >= 0
            && ::dup2(fds.err, 2) >= 0)
            ::execve(argv[0], argv.data(), envp.data());
        const int err = errno;
        (void)!::write(fds.report[1], &err, sizeof err);
        ::_exit(127);
    }
    ::close(fds.report[1]);
    fds.report[1] = -1;
    int err = 0;
    ssize_t n;
    while ((n = ::read(fds.report[0], &err, sizeof err)) < 0 && errno == EINTR) {
    }
    pid_ = pid;
    if (n == sizeof err) {
        wait(std::chrono::milliseconds::max());
        fail(err, "exec");
    }
}

Process::~Process() {
    if (!ended_)
        kill();
}

bool Process::wait(std::chrono::milliseconds timeout) {
    if (ended_)
        return true;
    const bool forever = timeout == std::chrono::milliseconds::max();
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        int status = 0;
        const pid_t r = ::waitpid(pid_, &status, forever ? 0 : WNOHANG);
        if (r == pid_) {
            ended_ = true;
            status_ = status;
            return true;
        }
        if (r < 0 && errno != EINTR) {
            ended_ = killed_ = true;  // not our child any more: its status is unknown
            return true;
        }
        if (forever)
            continue;
        const auto waited = std::chrono::steady_clock::now() - start;
        if (waited >= timeout)
            return false;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(std::chrono::milliseconds(5), timeout - waited));
    }
}

void Process::kill() {
    if (ended_)
        return;
    ::kill(pid_, SIGKILL);
    wait(std::chrono::milliseconds::max());
    killed_ = true;
}

fs::path currentProgram() { return fs::read_symlink("/proc/self/exe"); }

#endif

std::optional<int> Process::exitCode() const {
    if (!ended_ || killed_)
        return std::nullopt;
#ifdef _WIN32
    return status_;
#else
    if (!WIFEXITED(status_))
        return std::nullopt;
    return WEXITSTATUS(status_);
#endif
}

}  // namespace store::platform
