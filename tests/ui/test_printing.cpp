// The print service: the scripted one answers and records per printer; the
// QPrinter path puts every document of a job into one output, each on its
// own pages, without page numbers, paragraph formats kept.
#include <gtest/gtest.h>

#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "ui/printing.h"

namespace {

// The text of a PDF as pdftotext reads it (pages end with a form feed).
QString pdfText(const QString& file, bool layout = false) {
    QProcess p;
    QStringList args;
    if (layout)
        args << QStringLiteral("-layout");
    args << file << QStringLiteral("-");
    p.start(QStringLiteral("pdftotext"), args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(ScriptedPrinting, AnswersFromItsQueueAndRecordsEachPrinterApart) {
    ui::ScriptedPrinting s;
    s.queue(ui::PrintAnswer::Print);
    s.queue(ui::PrintAnswer::Cancel);
    s.queue(ui::PrintAnswer::Print);
    QTextDocument a(QStringLiteral("uno\ndos")), b(QStringLiteral("tres"));

    auto first = s.choosePrinter(nullptr, true);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->print(a));
    EXPECT_TRUE(first->print(b));
    EXPECT_FALSE(s.choosePrinter(nullptr, false));
    auto second = s.choosePrinter(nullptr, false);
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->print(b));
    // Nothing queued: cancelled, and counted as a dialog nobody expected.
    EXPECT_FALSE(s.choosePrinter(nullptr, true));

    const std::vector<QStringList> expected = {{QStringLiteral("uno\ndos"), QStringLiteral("tres")},
                                               {QStringLiteral("tres")}};
    EXPECT_EQ(s.printed(), expected);
    ASSERT_EQ(s.dialogs().size(), 4u);
    const bool offered[] = {true, false, false, true};
    const bool cancelled[] = {false, true, false, true};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(s.dialogs()[i].selectionOffered, offered[i]) << i;
        EXPECT_EQ(s.dialogs()[i].cancelled, cancelled[i]) << i;
    }
    EXPECT_EQ(s.unexpected(), 1);
}

TEST(ScriptedPrinting, ABoxPrintsItsSelectionOrElseEverything) {
    ui::ScriptedPrinting s;
    s.queue(ui::PrintAnswer::Print);
    auto printer = s.choosePrinter(nullptr, true);
    ASSERT_TRUE(printer);
    QTextEdit box;
    box.setPlainText(QStringLiteral("primera\nsegunda\ntercera"));
    EXPECT_TRUE(printer->print(box));  // nothing selected
    QTextCursor c(box.document());
    c.setPosition(8);
    c.setPosition(15, QTextCursor::KeepAnchor);
    box.setTextCursor(c);
    EXPECT_TRUE(printer->print(box));
    c.select(QTextCursor::Document);
    box.setTextCursor(c);
    EXPECT_TRUE(printer->print(box));
    const std::vector<QStringList> expected = {{QStringLiteral("primera\nsegunda\ntercera"), QStringLiteral("segunda"),
                                                QStringLiteral("primera\nsegunda\ntercera")}};
    EXPECT_EQ(s.printed(), expected);
}

TEST(QtPrinter, OneJobHoldsEveryDocumentOnItsOwnPagesWithoutPageNumbers) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("salida.pdf"));
    auto qprinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    qprinter->setOutputFormat(QPrinter::PdfFormat);
    qprinter->setOutputFileName(file);
    ui::QtPrinter printer(std::move(qprinter));

    QTextEdit title;
    title.setPlainText(QStringLiteral("TITULO CENTRADO\nrenglon a la izquierda"));
    QTextCursor c(title.document());
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.mergeBlockFormat(centred);
    c.select(QTextCursor::Document);
    title.setTextCursor(c);
    EXPECT_TRUE(printer.print(title));
    // Long enough for a second page of its own.
    QStringList lines;
    for (int i = 0; i < 120; ++i)
        lines << QStringLiteral("consideracion %1").arg(i);
    EXPECT_TRUE(printer.print(QTextDocument(lines.join(u'\n'))));
    EXPECT_TRUE(printer.finish());

    const QStringList pages = pdfText(file).split(u'\f', Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 3);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("TITULO CENTRADO")));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("consideracion")));
    EXPECT_TRUE(pages[1].startsWith(QStringLiteral("consideracion 0\n")));
    EXPECT_TRUE(pages.last().contains(QStringLiteral("consideracion 119")));
    for (const QString& page : pages)
        for (const QString& line : page.split(u'\n'))
            EXPECT_FALSE(line.trimmed().toInt() > 0) << "a page number: " << line.toStdString();

    // The centred line starts well to the right of the one that is not.
    const QStringList first = pdfText(file, true).split(u'\f').first().split(u'\n');
    auto indent = [&](const QString& text) {
        for (const QString& l : first)
            if (l.contains(text))
                return int(l.indexOf(text));
        return -1;
    };
    EXPECT_GT(indent(QStringLiteral("TITULO CENTRADO")), indent(QStringLiteral("renglon")) + 20);
}

} // namespace
