// The program finds pack9 and the considerations, installed or in the build tree; the installed one starts.
#include <QRegularExpression>

#include "app/programfiles.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testsupport::run;

fs::path pathOf(const QString& s) { return fs::path(s.toStdU16String()); }

QByteArray contents(const fs::path& file) {
    QFile f(QString::fromStdU16String(file.u16string()));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

#ifdef ZELTAR_BUILD_DIR  // the Linux layout; on Windows everything lies in one folder
TEST(Installed, TheProgramFindsPack9AndTheConsiderationsFromItsBin) {
    QTemporaryDir prefix;
    QByteArray log;
    ASSERT_EQ(
        run(QStringLiteral(CMAKE_COMMAND),
            {QStringLiteral("--install"), QStringLiteral(ZELTAR_BUILD_DIR), QStringLiteral("--prefix"), prefix.path()},
            &log),
        0)
        << log.toStdString();
    const fs::path root = pathOf(prefix.path());
    const app::ProgramFiles files = app::programFiles(root / "bin");
    EXPECT_EQ(files.pack9, root / "libexec" / "zeltar" / "pack9");
    EXPECT_EQ(files.considerations, root / "share" / "zeltar" / "considera.txt");
    EXPECT_EQ(contents(files.considerations), contents(fs::path(ZELTAR_TEST_DIR) / ".." / "data" / "considera.txt"));
    EXPECT_FALSE(fs::exists(root / "bin" / "pack9"));  // not among the commands people type

    // pack9 without tables gives its usage; zeltar its Spanish help, which names the USB stick.
    EXPECT_EQ(run(QString::fromStdU16String(files.pack9.u16string()), {}), 2);
    QByteArray help;
    // No Spanish locale named: the program's own texts and Qt's are Spanish anyway.
    EXPECT_EQ(run(QString::fromStdU16String((root / "bin" / "zeltar").u16string()), {QStringLiteral("--help")}, &help,
                  {{"LANG", "C"}, {"LC_ALL", "C"}}),
              0);
    for (const char* part : {"Uso:", "--disco", "memoria USB"})
        EXPECT_TRUE(help.contains(part)) << help.toStdString();

    // The menu entry starts the installed program, with the icon installed beside it.
    const QString entry = QString::fromUtf8(contents(root / "share" / "applications" / "zeltar.desktop"));
    const QString exec = QRegularExpression(QStringLiteral("^Exec=(\\S+)"), QRegularExpression::MultilineOption)
                             .match(entry)
                             .captured(1);
    EXPECT_TRUE(fs::exists(root / "bin" / exec.toStdString())) << entry.toStdString();
    EXPECT_TRUE(fs::exists(root / "share" / "icons" / "hicolor" / "48x48" / "apps" / "zeltar.png"));
}
#endif

TEST(Installed, InTheBuildTreeEverythingLiesBesideTheProgram) {
    const fs::path dir = fs::path(ZELTAR_EXE).parent_path();
    const app::ProgramFiles files = app::programFiles(dir);
#ifdef _WIN32
    EXPECT_EQ(files.pack9, dir / "pack9.exe");
#else
    EXPECT_EQ(files.pack9, dir / "pack9");
#endif
    EXPECT_EQ(files.considerations, dir / "considera.txt");
    EXPECT_TRUE(fs::exists(files.pack9) && fs::exists(files.considerations));
}

}  // namespace
