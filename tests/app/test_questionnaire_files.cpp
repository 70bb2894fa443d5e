// zeltar --cuestionario: the text against the document window, the PDF against what it must hold, the failures.
#include <QDir>
#include <QStandardPaths>
#include <QTextEdit>

#include "app/export.h"
#include "app/windows.h"
#include "capture/form1_fixture.h"
#include "questionnaire/documento.h"
#include "questionnaire/golden_row.h"
#include "support/test_support.h"
#include "ui/layouts/form1.h"

namespace form1test {
namespace {

namespace fs = std::filesystem;

using testsupport::readBytes;

class QuestionnaireFiles : public Form1Test {
protected:
    // A golden case's input.txt as tables: its rows, and the main window's state as a saved record.
    void load(const QString& name) {
        for (const char* t : {"datoprov", "catdirpl", "sector", "mercbi", "prodabas"})
            fs::remove(dir_ / (std::string(t) + ".dbf"));
        store::ensureDataDirectory(dir_);
        std::map<std::string, Value> record{{"TIPOTRAM", Value(1)}};
        int tipo = 0;
        for (const QString& line : QString::fromUtf8(readBytes(kGoldenDir + name + "/input.txt")).split(u'\n')) {
            if (line.startsWith(u"text ")) {
                const auto eq = line.indexOf(u'=');
                const QByteArray control = line.mid(5, eq - 5).toUtf8();
                const ui::WindowLayout& layout = ui::form1Layout();
                for (int i = 0; i < layout.count; ++i)
                    if (layout.controls[i].field && control == layout.controls[i].name)
                        record[layout.controls[i].field] = Value(line.mid(eq + 1).toStdString());
            } else if (line.startsWith(u"combo1 ")) {
                record["TIPOTRAM"] = Value(line.mid(7).toInt() + 1);
            } else if (line == u"direct" || line == u"indirect") {
                tipo += line == u"direct" ? 1 : 2;
            } else if (line.contains(u'|')) {
                const auto [table, row] = goldenRow(line);
                append(table.c_str(), {row});
            }
        }
        record["TIPOPROG"] = Value(tipo);
        writeDatoprov(record);
    }
    // Every file of the data directory with its bytes and time stamp.
    std::map<std::string, std::pair<QByteArray, fs::file_time_type>> snapshot() const {
        std::map<std::string, std::pair<QByteArray, fs::file_time_type>> out;
        for (const auto& e : fs::directory_iterator(dir_))
            out[e.path().filename().string()] = {readBytes(e.path()), e.last_write_time()};
        return out;
    }
    int write(const fs::path& dataDir, const fs::path& file) {
        messages_.clear();
        return app::writeQuestionnaire(dataDir, QString::fromStdU16String(file.u16string()), messages_);
    }
    QTemporaryDir out_;
    fs::path sol_ = fs::path(out_.path().toStdU16String()) / "solicitud";
    QStringList messages_;
};

TEST_F(QuestionnaireFiles, TheTextIsWhatTheDocumentWindowShowsAndTheTablesStayAsTheyWere) {
    for (const QString& name : QDir(kGoldenDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        SCOPED_TRACE(name.toStdString());
        load(name);
        const auto before = snapshot();
        ASSERT_EQ(write(dir_, sol_), 0) << messages_.join('\n').toStdString();
        EXPECT_EQ(snapshot(), before);  // nothing written, no lock file made
        open();
        const QString shown = app::newDocument(*form_, *db_)->RTUltima->toPlainText();
        EXPECT_EQ(readBytes(fs::path(sol_) += ".txt"), shown.toUtf8());
        // A list with no entry chosen cannot be saved: that case's programme differs.
        const QByteArray programme = readBytes(kGoldenDir + name + "/programme.txt");
        if (!programme.isEmpty() && name != QLatin1String("walk_no_procedure_chosen")) {
            EXPECT_TRUE(shown.toUtf8().contains("PLANTAS\n\n\n" + programme)) << shown.toStdString();
        }
        close();
    }
}

#ifndef _WIN32
// As a new user would: the program itself, on a machine without a display.
TEST_F(QuestionnaireFiles, WithNoDisplayTheProgramWritesTheTextAndThePdfOfQuestionnaireThenConsiderations) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "no pdftotext";
    load(QStringLiteral("document_both_sections"));
    testsupport::writeFile(QString::fromStdU16String((dir_ / "considera.txt").u16string()),
                           "CONSIDERACIONES GENERALES\nPrimera consideración.\n");
    QByteArray log, pdf;
    // The name may be given with either ending.
    EXPECT_EQ(testsupport::run(QStringLiteral(ZELTAR_EXE),
                               {QStringLiteral("--datos"), QString::fromStdU16String(dir_.u16string()),
                                QStringLiteral("--cuestionario"), QString::fromStdU16String(sol_.u16string()) + ".PDF"},
                               &log, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}}),
              0)
        << log.toStdString();
    EXPECT_TRUE(readBytes(fs::path(sol_) += ".txt").startsWith("SECRETARIA DE QUENTARIA\n"));
    const QString pdfFile = QString::fromStdU16String((fs::path(sol_) += ".pdf").u16string());
    ASSERT_EQ(
        testsupport::run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdfFile, QStringLiteral("-")}, &pdf),
        0);
    const QString text = QString::fromUtf8(pdf);
    qsizetype at = 0;
    for (const char* piece :
         {"SECRETARIA DE QUENTARIA", "RAZON SOCIAL : EMPRESA DE PRUEBA SA DE CV", "REGISTRO DE PRODUCTORES INDIRECTOS",
          "FIRMA", "CONSIDERACIONES GENERALES", "Primera consideración."}) {
        const qsizetype next = text.indexOf(QString::fromUtf8(piece), at);
        EXPECT_GE(next, at) << piece << " in\n" << text.toStdString();
        at = std::max(at, next);
    }
    // The title centred, as printed; the considerations on a page of their own; no page numbers.
    const QStringList lines = text.split(u'\n');
    EXPECT_GT(lines.filter(QStringLiteral("SECRETARIA DE QUENTARIA")).value(0).indexOf(u'S'), 20);
    EXPECT_TRUE(text.split(u'\f', Qt::SkipEmptyParts).last().simplified().startsWith("CONSIDERACIONES GENERALES"));
    for (const QString& line : lines)
        EXPECT_FALSE(line.trimmed().size() < 4 && line.trimmed().toInt() > 0)
            << "a page number: " << line.toStdString();
}
#endif

#ifdef _WIN32
// A fonts folder with no font: a PDF of blots is not written.
TEST_F(QuestionnaireFiles, WithNoFontNothingIsWrittenAndTheProgramSaysWhy) {
    load(QStringLiteral("document_both_sections"));
    const fs::path empty = dir_ / "sin letras";
    fs::create_directory(empty);
    QByteArray log;
    EXPECT_EQ(testsupport::run(QStringLiteral(ZELTAR_EXE),
                               {QStringLiteral("--datos"), QString::fromStdU16String(dir_.u16string()),
                                QStringLiteral("--cuestionario"), QString::fromStdU16String(sol_.u16string())},
                               &log, {{"QT_QPA_FONTDIR", QString::fromStdU16String(empty.u16string())}}),
              1);
    EXPECT_TRUE(QString::fromUtf8(log).contains(QStringLiteral("No se encontró ningún tipo de letra en ")))
        << log.toStdString();
    EXPECT_FALSE(fs::exists(fs::path(sol_) += ".pdf"));
}
#endif

TEST_F(QuestionnaireFiles, WhatCannotBeReadOrWrittenIsSaidAndTheStatusIsOne) {
    load(QStringLiteral("document_extension"));
    const fs::path missing = dir_ / "no existe";
    const struct {
        const char* what;
        std::function<void()> prepare;
        fs::path dataDir, file;
        const char* message;  // the start of the last message
        bool written;         // the two files are there all the same
    } cases[] = {
        {"no data directory", [] {}, missing, sol_, "No existe el directorio de datos", false},
        {"a table gone", [&] { fs::rename(dir_ / "mercbi.dbf", dir_ / "mercbi.old"); }, dir_, sol_,
         "No se encuentra la tabla", false},
        {"no folder for the files", [&] { fs::rename(dir_ / "mercbi.old", dir_ / "mercbi.dbf"); }, dir_,
         missing / "solicitud", "No se puede escribir", false},
        {"no considerations", [&] { fs::remove(dir_ / "considera.txt"); }, dir_, sol_, "No se puede leer", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.prepare();
        EXPECT_EQ(write(c.dataDir, c.file), 1);
        ASSERT_FALSE(messages_.isEmpty());
        EXPECT_TRUE(messages_.back().startsWith(QString::fromUtf8(c.message))) << messages_.join('\n').toStdString();
        for (const char* end : {".txt", ".pdf"})
            EXPECT_EQ(fs::exists(fs::path(c.file) += end), c.written) << end;
        EXPECT_FALSE(fs::exists(missing));  // nothing made where nothing was
    }
}

}  // namespace
}  // namespace form1test
