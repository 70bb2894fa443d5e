// Where the program's own files lie: the packing program it starts and the
// considerations the help window shows.
#pragma once

#include <filesystem>

namespace app {

struct ProgramFiles {
    std::filesystem::path pack9;
    std::filesystem::path considerations;
};

// Each file beside the program when it is there (a build tree, the Windows
// folder), else where `cmake --install` puts it relative to the program's own
// directory (libexec/zeltar and share/zeltar beside bin/). When neither
// exists, the path beside the program.
ProgramFiles programFiles(const std::filesystem::path& programDir);

// programFiles of the running program.
ProgramFiles programFiles();

}  // namespace app
