#include "app/programfiles.h"

#include <QCoreApplication>
#include <system_error>

namespace app {

namespace {

namespace fs = std::filesystem;

fs::path find(const fs::path& programDir, const char* installedDir, const char* name) {
    std::error_code ec;
    const fs::path beside = programDir / name;
    if (fs::exists(beside, ec))
        return beside;
    const fs::path installed = (programDir / installedDir / name).lexically_normal();
    if (fs::exists(installed, ec))
        return installed;
    return beside;
}

}  // namespace

ProgramFiles programFiles(const fs::path& programDir) {
#ifdef _WIN32
    const char* pack9 = "pack9.exe";
#else
    const char* pack9 = "pack9";
#endif
    return {find(programDir, ZELTAR_PACK9_FROM_BIN, pack9), find(programDir, ZELTAR_DATA_FROM_BIN, "considera.txt")};
}

ProgramFiles programFiles() { return programFiles(fs::path(QCoreApplication::applicationDirPath().toStdU16String())); }

}  // namespace app
