// "Borrar toda la información" first copies the seven tables into a dated
// folder of the data directory, and deletes nothing when that copy fails.
#include <QRegularExpression>
#include <fstream>

#include "form1_fixture.h"

namespace form1test {
namespace {

namespace fs = std::filesystem;

class BackupTest : public Form1Test {
protected:
    void SetUp() override {
        Form1Test::SetUp();
        writeDatoprov(filledRecord());
        append("catdirpl", {{Value("CALLE 1"), Value("01000")}});
        append("sector", {{Value(1), Value("X"), Value("DIEZ")}});
        append("mercbi", std::vector<store::Row>(40, {Value("X"), Value(1), Value("12345678"), Value(1)}));
        append("prodabas", {{Value(), Value("PRODUCTOR SA"), Value(" XYZ850101AB1")}});
        open();
    }
    // The bytes of every file of a folder, by name (folders left out).
    static std::map<std::string, std::string> files(const fs::path& dir) {
        std::map<std::string, std::string> out;
        for (const auto& e : fs::directory_iterator(dir))
            if (e.is_regular_file() && e.path().extension() == ".dbf")
                out[e.path().filename().string()] =
                    std::string(std::istreambuf_iterator<char>(std::ifstream(e.path(), std::ios::binary).rdbuf()), {});
        return out;
    }
    std::vector<fs::path> folders() const {
        std::vector<fs::path> out;
        for (const auto& e : fs::directory_iterator(dir_))
            if (e.is_directory())
                out.push_back(e.path());
        return out;
    }
    void deleteAll() {
        boxes_->clear();
        boxes_->queue(ui::Answer::Yes);
        click(0);
    }
};

TEST_F(BackupTest, TheTablesAsTheyWereComeBackFromTheBackup) {
    const auto before = files(dir_);
    ASSERT_EQ(before.size(), 7u);
    deleteAll();
    EXPECT_EQ(boxes_->texts(), QStringList{QString::fromUtf8("Con esta Acción borrar toda su solicitud")});
    EXPECT_TRUE(rows("datoprov").empty() && rows("catdirpl").empty());
    ASSERT_EQ(folders().size(), 1u);
    const fs::path backup = folders()[0];
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^respaldo-\\d{8}-\\d{6}$"))
                    .match(QString::fromStdString(backup.filename().string()))
                    .hasMatch())
        << backup;
    EXPECT_EQ(files(backup), before);

    // Brought back as the guide says: the program closed, the folder's tables
    // copied over the data directory's. The program opens on them, the
    // backup folder beside its tables.
    close();
    for (const auto& e : fs::directory_iterator(backup))
        fs::copy_file(e.path(), dir_ / e.path().filename(), fs::copy_options::overwrite_existing);
    EXPECT_EQ(files(dir_), before);
    open();
    EXPECT_EQ(form_->txtApePat1->text(), QStringLiteral("EMPRESA SA"));
    EXPECT_EQ(form_->MaskEdBox1->maskedText(), QStringLiteral(" ABC850101XY1"));
}

// A table gone after five were copied: the scratch folder goes too.
TEST_F(BackupTest, AFailedBackupDeletesNothingAndSaysWhy) {
    fs::rename(dir_ / "admlocal.dbf", dir_ / "admlocal.old");
    const auto before = files(dir_);
    deleteAll();
    ASSERT_EQ(boxes_->texts().size(), 2);
    EXPECT_TRUE(boxes_->texts()[1].startsWith(QStringLiteral("No se puede hacer el respaldo en ")));
    EXPECT_TRUE(boxes_->texts()[1].endsWith(QString::fromUtf8("\nNo se borró nada.")));
    EXPECT_EQ(files(dir_), before);
    EXPECT_TRUE(folders().empty());
    EXPECT_EQ(form_->txtApePat1->text(), QStringLiteral("EMPRESA SA"));
}

}  // namespace
}  // namespace form1test
