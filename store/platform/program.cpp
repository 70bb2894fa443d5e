#include "store/platform/program.h"

#include <cstdlib>

#ifdef _WIN32
#include <cstdio>
#include <fcntl.h>
#include <io.h>

#include "store/platform/wide.h"  // windows.h first: shellapi.h needs it
#include <shellapi.h>
#endif

namespace store::platform {

#ifdef _WIN32

std::vector<std::string> programArguments(int argc, char** argv) {
    int n = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
    if (!wide)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    for (int i = 0; i < n; ++i)
        args.push_back(toUtf8(wide[i]));
    LocalFree(wide);
    return args;
}

std::string environmentVariable(const char* name) {
    const std::wstring wname = toWide(name);
    std::wstring value(64, L'\0');
    for (;;) {
        const DWORD n = GetEnvironmentVariableW(wname.c_str(), value.data(), static_cast<DWORD>(value.size()));
        if (n == 0)
            return {};
        if (n < value.size())
            return toUtf8(std::wstring_view(value).substr(0, n));
        value.resize(n);
    }
}

namespace {
UINT consolePage = 0;
void restoreConsolePage() { SetConsoleOutputCP(consolePage); }
}  // namespace

void useUtf8Output() {
    std::fflush(stdout);
    std::fflush(stderr);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // Only a console has a code page; the one the operator had comes back at exit.
    DWORD mode = 0;
    const bool console =
        GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) || GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode);
    if (console && consolePage == 0 && (consolePage = GetConsoleOutputCP()) != CP_UTF8) {
        SetConsoleOutputCP(CP_UTF8);
        std::atexit(restoreConsolePage);
    }
}

void attachParentConsole() {
    // Output already redirected to a file or a pipe stays there.
    const bool out = GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_UNKNOWN;
    const bool err = GetFileType(GetStdHandle(STD_ERROR_HANDLE)) == FILE_TYPE_UNKNOWN;
    if ((!out && !err) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (out)
        (void)std::freopen("CONOUT$", "w", stdout);
    if (err)
        (void)std::freopen("CONOUT$", "w", stderr);
}

#else

std::vector<std::string> programArguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

std::string environmentVariable(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

void useUtf8Output() {}

void attachParentConsole() {}

#endif

}  // namespace store::platform
