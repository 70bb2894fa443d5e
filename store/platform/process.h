// Other programs started and waited for: the packing program that the main
// window runs before the disk copies, and the programs the tests start.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace store::platform {

struct ProcessOptions {
    std::filesystem::path directory;       // working directory; empty: ours
    std::vector<std::string> environment;  // NAME=VALUE entries set on top of ours
    std::filesystem::path output;          // standard output goes to this file; empty: discarded
    std::filesystem::path errors;          // standard error likewise (may be the same file)
    // Windows: the arguments go into the command line as they are, one blank
    // between them and no quotes, the way a fixed command line such as
    // "pack9.exe DatoProv catdirpl Sector  mercbi " is handed on. Elsewhere
    // each argument reaches the program as it is either way.
    bool verbatim = false;
};

// A child process, started with its window hidden and no input.
class Process {
public:
    // Throws std::system_error when the program cannot be started.
    Process(const std::filesystem::path& program, const std::vector<std::string>& arguments,
            const ProcessOptions& options = {});
    // A child still running is ended and waited for.
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Waits at most timeout for the child to end; true when it has ended.
    bool wait(std::chrono::milliseconds timeout);
    // Ends the child at once (SIGKILL, TerminateProcess) and waits for it.
    void kill();
    // The exit status once the child ended by itself; nullopt while it runs,
    // and when it was ended by a signal or by kill().
    std::optional<int> exitCode() const;

private:
    bool ended_ = false;
    bool killed_ = false;
    int status_ = 0;
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int pid_ = -1;
#endif
};

// The command line that Windows hands the program (UTF-8 here): the program's
// path, quoted when it holds a blank, then the arguments, each quoted where the
// C runtime's parser needs it to give the argument back unchanged (verbatim:
// as they are).
std::string windowsCommandLine(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                               bool verbatim);

// The running program's own file.
std::filesystem::path currentProgram();

}  // namespace store::platform
