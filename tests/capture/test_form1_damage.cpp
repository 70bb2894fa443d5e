// Damaged tables met by the window, pasted control characters, disk folders sharing the data directory.
#include <QClipboard>

#include "../store/dbf_test_util.h"
#include "form1_fixture.h"

namespace form1test {
namespace {

namespace fs = std::filesystem;
using dbftest::readBytes;

// n rows of a table; field f of row i (from 1): "Ri" in text, i in numbers, the i-th of January 2024 in dates.
std::vector<store::Row> sampleRows(const std::string& table, std::size_t n) {
    std::vector<store::Row> rows(n);
    for (const store::FieldDef& f : store::tableLayout(table).fields)
        for (int i = 1; i <= int(n); ++i)
            rows[std::size_t(i - 1)].push_back(f.type == store::FieldType::Character ? Value("R" + std::to_string(i))
                                               : f.type == store::FieldType::Date    ? Value(store::Date{2024, 1, i})
                                                                                     : Value(i));
    return rows;
}

// Each damage to a sound file of three rows; the rows a repair keeps, and those counted but not whole.
const struct Damage {
    const char* kind;
    void (*damage)(std::string& bytes);
    std::size_t kept, lost;
} kDamages[] = {
    {"cut in a row", [](std::string& b) { b.resize(b.size() - 1 - ((unsigned char)b[10] | b[11] << 8) / 2); }, 2, 1},
    {"count past the end", [](std::string& b) { b[5] = 3; }, 3, 768},
    {"count behind the rows", [](std::string& b) { b[4] = 1; }, 3, 0},
    {"header length 32 too long", [](std::string& b) { b[8] = char(b[8] + 32); }, 3, 0},
    {"unreadable field name", [](std::string& b) { b.replace(32, 4, "\x01\xFE#?"); }, 3, 0},
    {"no end marker (harmless)", [](std::string& b) { b.pop_back(); }, 3, 0},
};

class DamageTest : public Form1Test {
protected:
    // `table` made of three rows, then damaged in place; returns its bytes.
    std::string damage(const std::string& table, const Damage& d, std::optional<ui::Answer> answer = {}) {
        close();
        const fs::path file = dir_ / (table + ".dbf");
        fs::remove(file);
        store::DbfTable::createWithRows(file, store::tableLayout(table).fields, sampleRows(table, 3));
        std::string bytes = readBytes(file);
        d.damage(bytes);
        dbftest::writeBytes(file, bytes);
        if (answer)
            start(*answer);
        return bytes;
    }
    // The window started, the question answered if one comes; the boxes shown.
    QStringList start(std::optional<ui::Answer> answer) {
        close(), boxes_->clear();
        if (answer)
            boxes_->queue(*answer);
        open();
        return boxes_->texts();
    }
    // The clipboard into the focused box or cell, as its context menu does.
    static void paste() {
        if (auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
            box->paste(), settle();
    }
};

// Every damage in every table: a question naming it, nothing written while only read, a repair keeping a copy
// and every whole row, as we and another reader of the format find them.
TEST_F(DamageTest, EveryDamagedTableIsToldThenReadOnlyOrRepaired) {
    std::vector<std::string> args{"-c", "import dbfread,sys\nfor f,g in zip(*[iter(sys.argv[1:])]*2):\n"
                                        " a,b=dbfread.DBF(f),dbfread.DBF(g)\n"
                                        " if a.field_names!=b.field_names or list(a)!=list(b): print(f)\n"};
    for (const store::TableLayout& layout : store::tableLayouts()) {
        for (const Damage& d : kDamages) {
            SCOPED_TRACE(layout.name + ": " + d.kind);
            const bool harmless = &d == std::end(kDamages) - 1;
            const std::string damaged = damage(layout.name, d);
            const fs::path file = dir_ / (layout.name + ".dbf");
            QStringList texts = start(harmless ? std::nullopt : std::optional(ui::Answer::No));
            ASSERT_EQ(texts.size(), harmless ? 0 : 1) << texts.join('|').toStdString();
            if (harmless)
                continue;
            EXPECT_TRUE(texts[0].startsWith(
                QString::fromUtf8("La tabla %1.dbf está dañada: ").arg(QString::fromStdString(layout.name))));
            EXPECT_EQ(boxes_->shown()[0].buttons, ui::Buttons::YesNo);
            EXPECT_THROW(db_->table(layout.name).append({}), store::StoreError);
            close();
            EXPECT_EQ(readBytes(file), damaged) << "written while only read";

            texts = start(ui::Answer::Yes);
            ASSERT_EQ(texts.size(), 2) << texts.join('|').toStdString();
            EXPECT_TRUE(texts[1].contains(QString("se conservaron %1 renglones").arg(d.kept)));
            EXPECT_EQ(texts[1].contains(QString("leer %1.").arg(d.lost)), d.lost > 0) << texts[1].toStdString();
            close();
            const fs::path copy = dir_ / texts[1].section(' ', -1).chopped(1).toStdString();  // as the message names it
            EXPECT_EQ(readBytes(copy), damaged);
            fs::remove(copy);
            EXPECT_EQ(dbftest::rowsOf(*store::DbfTable::open(file)), sampleRows(layout.name, d.kept));
            args.push_back((dir_ / (layout.name + d.kind)).string());
            fs::rename(file, args.back());
            args.push_back(args.back() + " sound");
            store::DbfTable::createWithRows(args.back(), layout.fields, sampleRows(layout.name, d.kept));
        }
    }
    if (const fs::path python = dbftest::pythonWithDbfread(); !python.empty()) {
        const dbftest::RunResult r = dbftest::runProgram(python, args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

// A table only read refuses writes with a reason; the row stays, and closing does not drop it unsaid.
TEST_F(DamageTest, RefusedWritesAreToldAndKeepWhatWasTyped) {
    writeDatoprov(filledRecord());
    const std::string damaged = damage("catdirpl", kDamages[0], ui::Answer::No);
    form_->SSTab1->setCurrentIndex(1);
    auto* grid = form_->dbgplantas;
    focus(grid);
    grid->setCurrentIndex(grid->model()->index(grid->model()->rowCount() - 1, 0));
    typeHere("NUEVA 1");
    boxes_->clear();
    key(Qt::Key_Down);
    EXPECT_TRUE(boxes_->texts().size() == 1 && boxes_->texts()[0].contains(QString::fromUtf8("dbf está dañada")));
    EXPECT_TRUE(grid->rowDirty() && grid->columnText(0) == QStringLiteral("NUEVA 1"));
    EXPECT_FALSE(form_->close());  // the unwritten row keeps the window open, with the message again
    EXPECT_EQ(boxes_->texts().size(), 2);
    key(Qt::Key_Escape), key(Qt::Key_Escape);  // the operator drops it
    EXPECT_FALSE(grid->rowDirty());
    EXPECT_EQ(readBytes(dir_ / "catdirpl.dbf"), damaged);
    // The general data in a table only read: the save says why.
    std::string record = readBytes(dir_ / "datoprov.dbf");
    kDamages[3].damage(record);
    close(), dbftest::writeBytes(dir_ / "datoprov.dbf", record), start(ui::Answer::No);
    boxes_->clear();
    form_->Command1_Click(capture::Form1::kSave);
    EXPECT_TRUE(boxes_->texts().join('|').contains(QString::fromUtf8("datoprov.dbf está dañada")));
}

// Pasted line breaks and tabs never reach a table; a digit box keeps its own reading of a pasted number.
TEST_F(DamageTest, PastedControlCharactersAreDropped) {
    QApplication::clipboard()->setText(QStringLiteral("LINEA1\nLINEA2\t\x7F"));
    if (QApplication::clipboard()->text() != QStringLiteral("LINEA1\nLINEA2\t\x7F"))
        GTEST_SKIP() << "no clipboard";
    restart(filledRecord());
    focus(form_->txtApePat1);
    form_->txtApePat1->selectAll();
    paste();
    form_->Command1_Click(capture::Form1::kSave);
    EXPECT_EQ(rows("datoprov")[0][4], Value("LINEA1LINEA2"));
    form_->SSTab1->setCurrentIndex(1);
    focus(form_->dbgplantas);
    key(Qt::Key_F2), paste(), key(Qt::Key_Down);
    EXPECT_EQ(rows("catdirpl").at(0)[0], Value("LINEA1LINEA2"));

    QApplication::clipboard()->setText(QStringLiteral("-5\r\n"));
    focus(form_->txtProg2);
    form_->txtProg2->clear(), paste();
    EXPECT_EQ(form_->txtProg2->text(), QStringLiteral("-5"));
    focus(form_->txtProg1);
    EXPECT_EQ(form_->txtProg2->text(), QStringLiteral("0"));
}

// A disk folder that is, lies in or holds the data directory: one message, nothing copied; so for a damaged table.
TEST_F(DamageTest, DiskFoldersSharingTheDataDirectoryAndDamagedTablesStopTheDisk) {
    restart(filledRecord());
    fs::create_directory(dir_ / "A");
    for (const auto& [folder, says] : std::vector<std::pair<fs::path, const char*>>{
             {dir_, "es la carpeta de datos"},
             {dir_ / "A", "está dentro de la carpeta de datos"},
             {dir_ / "A" / ".." / "A" / "B", "está dentro de la carpeta de datos"},
             {dir_.parent_path(), "contiene la carpeta de datos"},
             {dir_.parent_path() / "disco-aparte", nullptr}}) {
        boxes_->clear();
        form_->diskette = folder;
        EXPECT_EQ(form_->diskCanBeWritten(), !says) << folder;
        EXPECT_EQ(boxes_->texts().join('|').contains(QString::fromUtf8(says ? says : "-")), bool(says)) << folder;
    }
    EXPECT_TRUE(fs::is_empty(dir_ / "A"));
    damage("mercbi", kDamages[1], ui::Answer::No);
    form_->diskette = dir_.parent_path() / "disco-aparte";
    boxes_->clear();
    EXPECT_FALSE(form_->diskCanBeWritten());
    EXPECT_EQ(boxes_->texts(), QStringList{QString::fromUtf8("La tabla mercbi.dbf está dañada: no se grabó el disco. "
                                                             "Cierre el programa y ábralo de nuevo para repararla.")});
}

}  // namespace
}  // namespace form1test
