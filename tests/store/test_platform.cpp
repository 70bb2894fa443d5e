// The operating-system side: command lines and child processes, text in and
// out of a program, file copies.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "dbf_test_util.h"
#include "store/platform/syncfile.h"

using namespace dbftest;
namespace platform = store::platform;

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

// A child (this test run again) writes back what it was given: its
// arguments, an environment entry, its working directory, and text on its
// standard error, then ends with status 7.
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

// A copy over an existing file replaces it whole; a copy that cannot be made
// leaves the target as it was and no scratch file.
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

}  // namespace
