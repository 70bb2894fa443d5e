// The deleting buttons (with the backup) and the disk (with the real packing program).
#include <QDir>
#include <QRegularExpression>
#include <fstream>

#ifndef _WIN32  // the file size limit of the cut-off copy test
#include <csignal>
#include <sys/resource.h>
#endif

#include "../store/dbf_test_util.h"
#include "form1_fixture.h"

namespace form1test {
namespace {

namespace fs = std::filesystem;
const QString kTodo = QString::fromUtf8("Con esta Acción borrar toda su solicitud");
const QString kAnexos = QString::fromUtf8("Con esta Acción borrar todos los anexos");
const QString kPrompt = QString::fromUtf8("Asegúrese de que el disco esté en la unidad A:");
const QString kIncomplete = QStringLiteral("Copia incompleta verifique el\respacio en disco o utilice un disco nuevo");
const QString kDone = QStringLiteral("Puede retirar el disco de la unidad A:");

// A good with its TIPO_PROGR, ANEXO and TIPOBIEN; FRACCION names it.
store::Row good(int tipoProgr, int anexo, int tipoBien, const char* fraccion) {
    store::Row r(13);
    r[0] = Value("I"), r[1] = Value(tipoProgr), r[2] = Value(fraccion), r[3] = Value(anexo), r[12] = Value(tipoBien);
    return r;
}

class TablesTest : public Form1Test {
protected:
    // A fresh set of the five tables, with an application and annexes if asked.
    void seed(bool application, bool annexes) {
        close();
        for (const char* t : {"datoprov", "catdirpl", "sector", "prodabas", "mercbi"})
            fs::remove(dir_ / (std::string(t) + ".dbf"));
        store::ensureDataDirectory(dir_);
        if (application)
            writeDatoprov(filledRecord());
        append("catdirpl", {{Value("CALLE 1"), Value("01000")}, {Value("CALLE 2"), Value("02000")}});
        if (!annexes)
            return;
        append("sector", {{Value(1), Value("IIa")}, {Value(2), Value()}});
        append("prodabas", {{Value(), Value("PRODUCTOR SA"), Value(" XYZ850101AB1")}});
        // One good of each annex statement, and two that none selects.
        append("mercbi", {good(1, 1, 1, "11111111"), good(1, 1, 2, "22222222"), good(2, 2, 2, "33333333"),
                          good(2, 2, 1, "44444444"), good(1, 2, 2, "55555555")});
    }
    // Live rows of datoprov, catdirpl, sector, prodabas, and the goods left.
    std::string tables() const {
        std::string s;
        for (const char* t : {"datoprov", "catdirpl", "sector", "prodabas"})
            s += std::to_string(rows(t).size()) + " ";
        for (const auto& r : rows("mercbi"))
            s += r[2].toString() + " ";
        return s;
    }
    // The bytes of every table of a folder, by name.
    static std::map<std::string, std::string> tablesIn(const fs::path& dir) {
        std::map<std::string, std::string> out;
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().extension() == ".dbf")
                out[e.path().filename().string()] = dbftest::readBytes(e.path());
        return out;
    }
    std::vector<fs::path> folders() const {
        std::vector<fs::path> out;
        for (const auto& e : fs::directory_iterator(dir_))
            if (e.is_directory())
                out.push_back(e.path());
        return out;
    }
    // Runs the disk button on `target`, answering the prompt if one is expected.
    void generate(const fs::path& target, std::optional<ui::Answer> answer = ui::Answer::Ok) {
        form_->diskette = target, form_->pack9 = PACK9_EXE;
        boxes_->clear();
        if (answer)
            boxes_->queue(*answer);
        click(2);
    }
    // The names in the diskette's root, sorted without regard to case.
    std::string onDisk() const {
        const QDir d(QString::fromStdString(diskette_.string()));
        return d.exists() ? d.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase).join(' ').toStdString() : "";
    }
    QTemporaryDir diskTmp_;
    const fs::path diskette_ = fs::path(diskTmp_.path().toStdString()) / "A";
};

TEST_F(TablesTest, WhatEachDeletionLeavesInTheTables) {
    const std::string all = "1 2 2 1 11111111 22222222 33333333 44444444 55555555 ";
    // An application, annexes; the button, the answer (none when no question is expected); what is left.
    const std::tuple<bool, bool, int, std::optional<ui::Answer>, std::string> cases[] = {
        {false, true, 0, std::nullopt, "0 2 2 1 11111111 22222222 33333333 44444444 55555555 "},  // empty datoprov
        {true, true, 0, ui::Answer::No, all},
        {true, true, 0, ui::Answer::Yes, "0 0 0 0 44444444 55555555 "},
        {true, true, 3, ui::Answer::No, all},
        {true, true, 3, ui::Answer::Yes, "1 2 0 0 44444444 55555555 "},
    };
    for (const auto& [application, annexes, button, answer, left] : cases) {
        SCOPED_TRACE(left);
        seed(application, annexes);
        open();
        if (!application)
            setRfc(QStringLiteral(" ABC850101XY1")), form_->ValidaRFC();  // a new application opens
        boxes_->clear();
        if (answer)
            boxes_->queue(*answer);
        click(button);
        EXPECT_EQ(boxes_->shown().empty(), !answer);
        if (answer)
            expectBox(button == 0 ? kTodo : kAnexos, "ATENCION", ui::Icon::None, ui::Buttons::YesNo);
        EXPECT_EQ(boxes_->unexpected(), 0);
        EXPECT_EQ(tables(), left);
    }
    EXPECT_EQ(store::DbfTable::open(dir_ / "catdirpl.dbf")->recordCount(), 2u);  // marked only, until packed
}

// Deleting all first copies the seven tables into a dated folder, then starts a new application.
TEST_F(TablesTest, DeletingAllKeepsABackupAndStartsANewApplication) {
    seed(false, true);
    auto record = filledRecord();
    record["NUMMAQUILA"] = Value(123), record["ANOMAQUILA"] = Value(1999), record["TIPOPROG"] = Value(3);
    writeDatoprov(record);
    append("mercbi", {{Value("X"), Value(1), Value("12345678"), Value(1)}});  // no TIPOBIEN
    open();
    const auto before = tablesIn(dir_);
    ASSERT_EQ(before.size(), 7u);
    form_->Combo5->setCurrentIndex(2), form_->SSTab1->setCurrentIndex(2), button(6)->setEnabled(false);
    boxes_->queue(ui::Answer::Yes);
    click(0);
    EXPECT_EQ(boxes_->texts(), QStringList{kTodo});
    ASSERT_EQ(folders().size(), 1u);
    const fs::path backup = folders()[0];
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^respaldo-\\d{8}-\\d{6}$"))
                    .match(QString::fromStdString(backup.filename().string()))
                    .hasMatch())
        << backup;
    EXPECT_EQ(tablesIn(backup), before);

    EXPECT_EQ(form_->MaskEdBox1->maskedText(), QString(13, u' '));
    EXPECT_FALSE(form_->chkProdFinal->isChecked() || form_->chkrodIndirecto->isChecked());
    EXPECT_EQ(std::make_tuple(form_->Combo5->currentIndex(), form_->Combo1->currentIndex(),
                              form_->cmbActividad->currentIndex(), form_->SSTab1->currentIndex()),
              std::make_tuple(0, 0, 0, 0));
    for (const char* name : {"txtnummaquila", "txtañomaquila", "txtApePat1", "txtProg1"})
        EXPECT_TRUE(edit(name)->text().trimmed().isEmpty()) << name;
    EXPECT_TRUE(button(6)->isEnabled() && rows("datoprov").empty());
    EXPECT_EQ(form_->dtsDatoProv.editMode(), store::EditMode::AddNew);
    setRfc(QStringLiteral(" NEW850101AB1"));  // the next save writes the new application
    form_->Command1_Click(1);
    const auto saved = rows("datoprov");
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0][0].toString() + "|" + saved[0][20].toString(), " NEW850101AB1|14");
    EXPECT_EQ(boxes_->texts(), QStringList{kTodo});
}

// A table gone after five were copied: nothing deleted, and the scratch folder goes too.
TEST_F(TablesTest, AFailedBackupDeletesNothingAndSaysWhy) {
    seed(true, true);
    open();
    fs::rename(dir_ / "admlocal.dbf", dir_ / "admlocal.old");
    const auto before = tablesIn(dir_);
    boxes_->queue(ui::Answer::Yes);
    click(0);
    ASSERT_EQ(boxes_->texts().size(), 2);
    EXPECT_TRUE(boxes_->texts()[1].startsWith(QStringLiteral("No se puede hacer el respaldo en ")));
    EXPECT_TRUE(boxes_->texts()[1].endsWith(QString::fromUtf8("\nNo se borró nada.")));
    EXPECT_EQ(tablesIn(dir_), before);
    EXPECT_TRUE(folders().empty());
    EXPECT_EQ(form_->txtApePat1->text(), QStringLiteral("EMPRESA SA"));
}

TEST_F(TablesTest, WhereTheDiskEndsAndWhatTheDisketteHolds) {
    enum Target { Diskette, Missing };
    const QString kReq4 = QString::fromUtf8(texts::kReq[4]);
    const QStringList failed = QStringList{kPrompt} + QStringList(6, kIncomplete) + QStringList{kDone};
    const char* const kOld = "notas.txt OLD.DBF viejo.dbf viejo.dbf.bak";
    const char* const kWritten =
        "activida.dbf catdirpl.dbf datoprov.dbf mercbi.dbf notas.txt prodabas.dbf Sector.dbf viejo.dbf.bak";
    // The target, a change to the window, the answer to the prompt when it comes; the boxes and the files.
    const std::tuple<Target, void (*)(capture::Form1&), std::optional<ui::Answer>, QStringList, const char*> cases[] = {
        {Diskette, nullptr, ui::Answer::Ok, {kPrompt, kDone}, kWritten},
        {Diskette, [](capture::Form1& f) { f.MaskEdBox1->setMaskedText(""); }, {}, {}, kOld},  // silent end
        {Diskette, [](capture::Form1& f) { f.txtCalle->clear(); }, {}, {kReq4}, kOld},
        {Diskette, nullptr, ui::Answer::Cancel, {kPrompt}, kOld},
        {Missing, nullptr, ui::Answer::Ok, failed, ""},
    };
    for (const auto& [target, change, answer, messages, files] : cases) {
        SCOPED_TRACE(messages.join('|').toStdString());
        fs::remove_all(diskette_);
        if (target == Diskette) {
            fs::create_directories(diskette_);
            for (const char* old : {"OLD.DBF", "viejo.dbf", "notas.txt", "viejo.dbf.bak"})
                std::ofstream(diskette_ / old) << "x";
        }
        restart(completeRecord());
        if (change)
            change(*form_);
        generate(diskette_, answer);
        EXPECT_EQ(boxes_->texts().join('|').toStdString(), messages.join('|').toStdString());
        for (const auto& b : boxes_->shown()) {
            if (b.text == kReq4)
                continue;  // the check's own box
            const bool prompt = b.text == kPrompt;
            const QString title = prompt ? "Grabar Disco" : b.text == kDone ? "Disco grabado." : ui::applicationTitle();
            EXPECT_EQ(std::tie(b.title, b.icon, b.buttons),
                      std::tuple(title, ui::Icon::None, prompt ? ui::Buttons::OkCancel : ui::Buttons::Ok));
        }
        EXPECT_EQ(onDisk(), files);
        EXPECT_EQ(rows("datoprov").size(), 1u);  // the tables stay where they are
    }
}

// The packing program rewrites four tables before the copy; the window re-reads them and saves the right row.
TEST_F(TablesTest, PackedTablesReachTheDiskette) {
    append("datoprov", {store::Row(32, Value())}, true);
    writeDatoprov(completeRecord());
    append("catdirpl", {{Value("VIVA 1")}}), append("catdirpl", {{Value("BORRADA 2")}}, true);
    append("sector", {{Value(1), Value("I")}}, true), append("sector", {{Value(1), Value("V")}});
    append("mercbi", {{Value("I"), Value(1)}}, true);
    append("prodabas", {{Value(), Value("VIVO SA")}}), append("prodabas", {{Value(), Value("BORRADO SA")}}, true);
    append("activida", {{Value(311040), Value(), Value("BORRADA")}}, true);
    const auto lock = store::DirectoryLock::acquire(dir_);
    ASSERT_TRUE(lock);
    fs::create_directories(diskette_);
    open();
    form_->pack9Environment = lock->handOffEnvironment();
    generate(diskette_);
    EXPECT_EQ(boxes_->texts(), (QStringList{kPrompt, kDone}));
    EXPECT_EQ(onDisk(), "activida.dbf catdirpl.dbf datoprov.dbf mercbi.dbf prodabas.dbf Sector.dbf");
    // Rows and live rows: prodabas and activida are copied unpacked.
    const std::pair<const char*, std::pair<std::size_t, std::size_t>> copied[] = {
        {"datoprov.dbf", {1, 1}}, {"catdirpl.dbf", {1, 1}}, {"Sector.dbf", {1, 1}},
        {"mercbi.dbf", {0, 0}},   {"prodabas.dbf", {2, 1}}, {"activida.dbf", {4, 3}}};
    for (const auto& [name, counts] : copied) {
        auto t = store::DbfTable::open(diskette_ / name);
        std::size_t live = 0;
        for (std::size_t r = 0; r < t->recordCount(); ++r)
            live += !t->isDeleted(r);
        EXPECT_EQ(std::make_pair(t->recordCount(), live), counts) << name;
    }
    // Back to browsing, on the packed tables.
    EXPECT_TRUE(!button(0)->isEnabled() && button(6)->isEnabled());
    EXPECT_EQ(form_->dtsDatoProv.editMode(), store::EditMode::Edit);
    EXPECT_EQ(form_->dtsplantas.recordCount(), 1u);
    form_->Command1_Click(6);
    edit("txtCalle")->setText("INSURGENTES 5");
    form_->Command1_Click(1);
    ASSERT_EQ(rows("datoprov").size(), 1u);
    EXPECT_EQ(rows("datoprov")[0][8].toString(), "INSURGENTES 5");
    EXPECT_EQ(store::DbfTable::open(dir_ / "datoprov.dbf")->recordCount(), 1u);
}

#ifndef _WIN32  // Windows has no file size limit to stand in for a full diskette
// A diskette filling up (a file size limit): the table cut off is not left under its name, so it is reported.
TEST_F(TablesTest, ACopyCutOffIsReportedNotLeftBehind) {
    append("mercbi", std::vector<store::Row>(40, {Value("I"), Value(1), Value("12345678")}));
    fs::create_directories(diskette_);
    restart(completeRecord());
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{}, small{};
    getrlimit(RLIMIT_FSIZE, &old);
    small = old, small.rlim_cur = 8192;  // datoprov fits, mercbi (40 goods) does not
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    generate(diskette_);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(boxes_->texts(), (QStringList{kPrompt, kIncomplete, kDone}));
    EXPECT_EQ(onDisk(), "activida.dbf catdirpl.dbf datoprov.dbf prodabas.dbf Sector.dbf");
}
#endif

}  // namespace
}  // namespace form1test
