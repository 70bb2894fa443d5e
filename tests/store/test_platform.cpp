// The operating-system side: command lines, child processes, file copies, the system's failures in Spanish.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "dbf_test_util.h"
#include "store/platform/errors.h"
#include "store/platform/syncfile.h"

using namespace dbftest;
namespace platform = store::platform;
using platform::errorText;
using platform::windowsErrorText;

namespace {

TEST(Platform, WindowsCommandLinesKeepFixedLinesAndQuoteWhatTheParserWouldSplit) {
    const struct {
        const char* program;
        std::vector<std::string> args;
        bool verbatim;
        const char* line;
    } cases[] = {
        // The packing program's fixed line: two blanks before mercbi, one at the end.
        {"C:\\ZELTAR\\pack9.exe",
         {"DatoProv catdirpl Sector  mercbi "},
         true,
         "C:\\ZELTAR\\pack9.exe DatoProv catdirpl Sector  mercbi "},
        {"C:\\Program Files\\ZELTAR\\pack9.exe",
         {"DatoProv catdirpl Sector  mercbi "},
         true,
         "\"C:\\Program Files\\ZELTAR\\pack9.exe\" DatoProv catdirpl Sector  mercbi "},
        {"C:\\z\\zeltar-sql.exe",
         {"C:\\datos", "select * from sector"},
         false,
         "C:\\z\\zeltar-sql.exe C:\\datos \"select * from sector\""},
        // Backslashes double only before a quote, the closing one included.
        {"p.exe",
         {"", "a\"b", "C:\\con blanco\\", "a\\\\\"b", "\\\\srv\\x", "CAMIÓN"},
         false,
         "p.exe \"\" \"a\\\"b\" \"C:\\con blanco\\\\\" \"a\\\\\\\\\\\"b\" \\\\srv\\x CAMIÓN"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::windowsCommandLine(c.program, c.args, c.verbatim), c.line) << c.line;
}

// A child (this test run again) writes back its arguments, environment, directory and standard error, ends with 7.
TEST(Platform, AChildGetsItsArgumentsEnvironmentAndDirectoryWholeInUtf8) {
    const std::vector<std::string> args = {"DatoProv catdirpl Sector  mercbi ",
                                           "",
                                           "  dos  blancos ",
                                           "comillas \"dentro\"",
                                           "C:\\ruta con blancos\\",
                                           "CAMIÓN ñandú €",
                                           "日本"};
    if (childRole() == "echo") {
        platform::useUtf8Output();
        const auto& argv = testing::internal::GetArgvs();
        std::vector<char*> raw;
        for (const std::string& a : argv)
            raw.push_back(const_cast<char*>(a.c_str()));
        const auto mine = platform::programArguments(static_cast<int>(raw.size()), raw.data());
        std::string report;
        for (std::size_t i = 2; i < mine.size(); ++i)  // past the program and the test filter
            report += mine[i] + "|";
        report += "\n" + platform::environmentVariable("ZELTAR_TEST_ECO") + "\n" + utf8(fs::current_path());
        writeBytes(fromUtf8(platform::environmentVariable("ZELTAR_TEST_REPORT")), report);
        std::fputs("uno\ndos ñ\n", stderr);
        std::fflush(stderr);
        std::_Exit(7);
    }
    ScratchDir tmp;
    const fs::path dir = tmp.path() / u8"dónde está";
    fs::create_directories(dir);
    platform::ProcessOptions options;
    options.directory = dir;
    options.environment = {"ZELTAR_TEST_ECO=año ñ", "ZELTAR_TEST_REPORT=" + utf8(tmp / "report")};
    options.errors = tmp / "err";
    const auto child = startChild("echo", options, args);
    ASSERT_TRUE(child->wait(std::chrono::minutes(1)));
    EXPECT_EQ(child->exitCode(), 7);
    std::string expected;
    for (const std::string& a : args)
        expected += a + "|";
    const std::string report = readBytes(tmp / "report");
    const auto firstLine = report.find('\n'), secondLine = report.find('\n', firstLine + 1);
    EXPECT_EQ(report.substr(0, firstLine), expected);
    EXPECT_EQ(report.substr(firstLine + 1, secondLine - firstLine - 1), "año ñ");
    EXPECT_TRUE(fs::equivalent(fromUtf8(report.substr(secondLine + 1)), dir)) << report;
    EXPECT_EQ(readBytes(tmp / "err"), "uno\ndos ñ\n");  // no carriage returns, UTF-8 as written
    EXPECT_THROW(platform::Process(tmp / "no-existe.exe", {}), std::system_error);
}

// A copy replaces the target whole; one that cannot be made leaves it as it was and no scratch file.
TEST(Platform, CopiesReplaceTheTargetWholeOrLeaveItAsItWas) {
    ScratchDir tmp;
    writeBytes(tmp / "fuente.dbf", std::string(70000, 'x') + "fin");
    writeBytes(tmp / "destino.dbf", "viejo");
    platform::copyFile(tmp / "fuente.dbf", tmp / "destino.dbf");
    EXPECT_EQ(readBytes(tmp / "destino.dbf"), readBytes(tmp / "fuente.dbf"));
    platform::copyFile(tmp / "fuente.dbf", tmp / "nuevo.dbf");
    EXPECT_EQ(readBytes(tmp / "nuevo.dbf"), readBytes(tmp / "fuente.dbf"));
    EXPECT_THROW(platform::copyFile(tmp / "falta.dbf", tmp / "destino.dbf"), std::system_error);
    EXPECT_THROW(platform::copyFile(tmp / "fuente.dbf", tmp / "no-hay" / "x.dbf"), std::system_error);
    EXPECT_EQ(readBytes(tmp / "destino.dbf"), readBytes(tmp / "fuente.dbf"));
    EXPECT_EQ(fileNames(tmp.path()), (std::set<std::string>{"fuente.dbf", "destino.dbf", "nuevo.dbf"}));
}

// The failures an operator can act upon, as the C library and as Windows report them.
TEST(ErrorText, WhatTheOperatorMeetsIsSpanishWhicheverSystemReportsIt) {
    const struct {
        std::errc posix;
        unsigned long windows;
        const char* text;
    } cases[] = {
        // Windows: FILE_ and PATH_NOT_FOUND, ACCESS_DENIED, WRITE_PROTECT, (HANDLE_)DISK_FULL, SHARING_, LOCK_,
        // NOT_READY
        {std::errc::no_such_file_or_directory, 2, "No existe el archivo o la carpeta."},
        {std::errc::no_such_file_or_directory, 3, "No existe el archivo o la carpeta."},
        {std::errc::permission_denied, 5, "No tiene permiso para usar el archivo o la carpeta."},
        {std::errc::read_only_file_system, 19, "El disco está protegido contra escritura (solo lectura)."},
        {std::errc::no_space_on_device, 112, "El disco está lleno."},
        {std::errc::no_space_on_device, 39, "El disco está lleno."},
        {std::errc::device_or_resource_busy, 32, "El archivo está en uso por otro programa."},
        {std::errc::no_lock_available, 33, "El archivo está en uso por otro programa."},
        {std::errc::no_such_device, 21, "La unidad no está lista: no hay disco en ella."},
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
    EXPECT_EQ(errorText(fsError), "No tiene permiso para usar el archivo o la carpeta.");
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
    EXPECT_EQ(errorText(ec), "No existe el archivo o la carpeta.");
    store::platform::readFile(tmp.path(), ec);  // a folder is no file
    EXPECT_TRUE(ec);
    EXPECT_EQ(errorText(ec).rfind("Error del sistema", 0), std::string::npos) << errorText(ec);
}

}  // namespace
