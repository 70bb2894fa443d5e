// The system's failures reach the operator in Spanish, on both systems, and a
// file read through the platform folder reports the failure it met.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "dbf_test_util.h"
#include "store/datadir.h"
#include "store/platform/errors.h"

using namespace dbftest;
using store::platform::errorText;
using store::platform::windowsErrorText;

namespace {

const std::string kNotFound = "No existe el archivo o la carpeta.";
const std::string kDenied = "No tiene permiso para usar el archivo o la carpeta.";
const std::string kReadOnly = "El disco está protegido contra escritura (solo lectura).";
const std::string kFull = "El disco está lleno.";
const std::string kInUse = "El archivo está en uso por otro programa.";
const std::string kNotReady = "La unidad no está lista: no hay disco en ella.";

// The failures an operator can act upon, as the C library and as Windows
// report them.
TEST(ErrorText, WhatTheOperatorMeetsIsSpanishWhicheverSystemReportsIt) {
    const struct {
        std::errc posix;
        unsigned long windows;
        const std::string& text;
    } cases[] = {
        {std::errc::no_such_file_or_directory, 2, kNotFound},  // ERROR_FILE_NOT_FOUND
        {std::errc::no_such_file_or_directory, 3, kNotFound},  // ERROR_PATH_NOT_FOUND
        {std::errc::permission_denied, 5, kDenied},            // ERROR_ACCESS_DENIED
        {std::errc::read_only_file_system, 19, kReadOnly},     // ERROR_WRITE_PROTECT
        {std::errc::no_space_on_device, 112, kFull},           // ERROR_DISK_FULL
        {std::errc::no_space_on_device, 39, kFull},            // ERROR_HANDLE_DISK_FULL
        {std::errc::device_or_resource_busy, 32, kInUse},      // ERROR_SHARING_VIOLATION
        {std::errc::no_lock_available, 33, kInUse},            // ERROR_LOCK_VIOLATION
        {std::errc::no_such_device, 21, kNotReady},            // ERROR_NOT_READY
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.windows);
        EXPECT_EQ(errorText(std::make_error_code(c.posix)), c.text);
        EXPECT_EQ(windowsErrorText(c.windows), c.text);
        // What the system calls of this system report.
#ifdef _WIN32
        EXPECT_EQ(errorText(std::error_code(static_cast<int>(c.windows), std::system_category())), c.text);
#else
        EXPECT_EQ(errorText(std::error_code(static_cast<int>(c.posix), std::system_category())), c.text);
#endif
    }
    // Anything else still reads as Spanish, with the number for support.
    EXPECT_EQ(windowsErrorText(1234567), "Error del sistema operativo número 1234567.");
    EXPECT_EQ(errorText(std::error_code()), "");
    // std::filesystem's errors give the text of their code, not its English what().
    const std::filesystem::filesystem_error fsError("rename", std::filesystem::path("a"),
                                                    std::make_error_code(std::errc::permission_denied));
    EXPECT_EQ(errorText(fsError), kDenied);
    EXPECT_EQ(errorText(std::runtime_error("La tabla X ya existe.")), "La tabla X ya existe.");
}

TEST(ReadFile, ReadsTheWholeFileOrSaysWhyNot) {
    ScratchDir tmp;
    std::string big(200000, 'x');
    big[199999] = '\n';
    writeBytes(tmp / "considera.txt", big);
    std::error_code ec;
    EXPECT_EQ(store::platform::readFile(tmp / "considera.txt", ec), big);
    EXPECT_FALSE(ec);

    EXPECT_EQ(store::platform::readFile(tmp / "falta.txt", ec), "");
    EXPECT_EQ(errorText(ec), kNotFound);
    store::platform::readFile(tmp.path(), ec);  // a folder is no file
    EXPECT_TRUE(ec);
    EXPECT_EQ(errorText(ec).rfind("Error del sistema", 0), std::string::npos) << errorText(ec);
}

// The store's own messages carry the Spanish text, not the system's.
TEST(ErrorText, StoreMessagesCarryTheSpanishText) {
    ScratchDir tmp;
    writeBytes(tmp / "archivo", "x");
    const fs::path under = tmp.path() / "archivo" / "ZELTAR";
    EXPECT_EQ(errorOf([&] { store::ensureDataDirectory(under); }), "No se puede crear el directorio de datos "
                                                                       + under.string()
                                                                       + ": Una parte de la ruta no es una carpeta.");
}

}  // namespace
