// The document window over a bare main window and real tables: what it shows
// (built once, when it opens) against what it prints (rebuilt at each press,
// then the considerations), the ways a print ends early, the resize rule, the
// keyboard, and one real print to a PDF file.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <filesystem>
#include <functional>
#include <memory>

#include "questionnaire/documento.h"
#include "store/datadir.h"
#include "store/dbf.h"
#include "store/schema.h"
#include "ui/layouts/form1.h"
#include "ui/messagebox.h"
#include "ui/printing.h"

namespace {

using questionnaire::frmDocument;
using ui::PrintAnswer;

const QString kConsiderations = QStringLiteral("CONSIDERACIONES GENERALES\nPrimera consideración.");

class DocumentoTest : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        dir_ = std::filesystem::path(tmp_.path().toStdString());
        store::ensureDataDirectory(dir_);
        writeConsiderations(kConsiderations);
        db_ = std::make_unique<store::Database>(dir_);
        for (auto [ds, table] : {std::pair{&plants_, "catdirpl"}, {&sectors_, "sector"}, {&goods_, "mercbi"},
                                 {&producers_, "prodabas"}}) {
            *ds = std::make_unique<store::DataSource>(*db_, "dBASE III;", table);
            (*ds)->refresh();
        }
        main_ = std::make_unique<ui::FormWindow>(ui::form1Layout());
        setRazonSocial(QStringLiteral("EMPRESA UNO"));

        auto boxes = std::make_unique<ui::ScriptedMessageBoxes>();
        boxes_ = boxes.get();
        previousBoxes_ = ui::MessageBoxService::install(std::move(boxes));
        auto printing = std::make_unique<ui::ScriptedPrinting>();
        printing_ = printing.get();
        previousPrinting_ = ui::PrintService::install(std::move(printing));
    }
    void TearDown() override {
        doc_.reset();
        EXPECT_EQ(printing_->unexpected(), 0);
        EXPECT_EQ(boxes_->texts(), QStringList());
        ui::PrintService::install(std::move(previousPrinting_));
        ui::MessageBoxService::install(std::move(previousBoxes_));
    }

    QString considerationsPath() const { return tmp_.filePath(QStringLiteral("considera.txt")); }
    void writeConsiderations(const QString& text) {
        QFile f(considerationsPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
    }
    void removeConsiderations() { QFile::remove(considerationsPath()); }
    void considerationsAsFolder() {
        removeConsiderations();
        QDir().mkpath(considerationsPath());
    }
    void setRazonSocial(const QString& text) { main_->as<QLineEdit>(QStringLiteral("txtApePat1"))->setText(text); }
    questionnaire::Sources sources() { return {*plants_, *sectors_, *goods_, *producers_}; }

    void open() {
        doc_ = std::make_unique<frmDocument>(*main_, sources(), considerationsPath());
    }
    // The questionnaire as the main window stands now.
    QString built() {
        auto s = sources();
        return questionnaire::ArmaCuestionario(questionnaire::readMainWindow(*main_), s).text;
    }
    void pressImprimir(PrintAnswer answer) {
        printing_->queue(answer);
        QTest::mouseClick(doc_->Command1(), Qt::LeftButton);
    }
    // Two plants, and a plants hook that refuses every move to the next row:
    // the builder then stops with an error of the data engine.
    void plantsRefuseToMove() {
        auto t = store::DbfTable::open(dir_ / "catdirpl.dbf");
        store::Row row(t->fields().size());
        row[0] = store::Value(" ABC850101XY1");
        t->append(row);
        t->append(row);
        t.reset();
        plants_->refresh();
        plants_->setValidateHook([](store::Action a, bool& cancel) { cancel = a == store::Action::MoveNext; });
    }

    QTemporaryDir tmp_;
    std::filesystem::path dir_;
    std::unique_ptr<store::Database> db_;
    std::unique_ptr<store::DataSource> plants_, sectors_, goods_, producers_;
    std::unique_ptr<ui::FormWindow> main_;
    std::unique_ptr<frmDocument> doc_;
    ui::ScriptedMessageBoxes* boxes_ = nullptr;
    ui::ScriptedPrinting* printing_ = nullptr;
    std::unique_ptr<ui::MessageBoxService> previousBoxes_;
    std::unique_ptr<ui::PrintService> previousPrinting_;
};

TEST_F(DocumentoTest, OpeningShowsTheQuestionnaireWithoutPrintingAndCentresOnlyThePrintedTitle) {
    open();
    EXPECT_TRUE(printing_->dialogs().empty());
    EXPECT_EQ(doc_->PrimeraVez, 0);
    const QString shown = doc_->RTUltima()->toPlainText();
    EXPECT_EQ(shown, built());
    EXPECT_TRUE(shown.startsWith(QStringLiteral("SECRETARIA DE QUENTARIA\n")));
    EXPECT_TRUE(shown.contains(QStringLiteral("RAZON SOCIAL : EMPRESA UNO\n")));
    EXPECT_EQ(doc_->rtfText()->toPlainText(), shown);

    // The title block (three lines and their blank lines) is centred in the
    // box that is printed; nothing is centred in the one shown.
    const int titleLength = int(shown.indexOf(QStringLiteral("TIPO DE TRAMITE")));
    int centred = 0;
    for (QTextBlock b = doc_->rtfText()->document()->begin(); b.isValid(); b = b.next()) {
        if (b.position() < titleLength - 1) {
            EXPECT_EQ(b.blockFormat().alignment(), Qt::AlignHCenter) << b.text().toStdString();
            ++centred;
        } else if (!b.text().isEmpty()) {
            EXPECT_NE(b.blockFormat().alignment(), Qt::AlignHCenter) << b.text().toStdString();
        }
    }
    EXPECT_GE(centred, 5);
    for (QTextBlock b = doc_->RTUltima()->document()->begin(); b.isValid(); b = b.next())
        EXPECT_NE(b.blockFormat().alignment(), Qt::AlignHCenter);
}

TEST_F(DocumentoTest, EachPressPrintsTheQuestionnaireAsItNowStandsAndTheConsiderationsWhileTheShownTextStays) {
    open();
    const QString atOpen = doc_->RTUltima()->toPlainText();
    std::vector<QStringList> expected;
    for (const char* company : {"EMPRESA DOS", "EMPRESA TRES"}) {
        setRazonSocial(QString::fromLatin1(company));
        const QString now = built();
        ASSERT_TRUE(now.contains(QString::fromLatin1(company)));
        expected.push_back({now, kConsiderations});
        pressImprimir(PrintAnswer::Print);
    }
    EXPECT_EQ(printing_->printed(), expected);
    ASSERT_EQ(printing_->dialogs().size(), 2u);
    for (const auto& d : printing_->dialogs()) {
        EXPECT_TRUE(d.selectionOffered);
        EXPECT_FALSE(d.cancelled);
    }
    EXPECT_EQ(doc_->RTUltima()->toPlainText(), atOpen);
    EXPECT_TRUE(atOpen.contains(QStringLiteral("EMPRESA UNO")));
}

// Every way a print ends early ends without a word and prints nothing
// half-built; the considerations never go out alone.
struct EarlyEnd {
    const char* name;
    std::function<void(DocumentoTest&)> prepare;
    PrintAnswer answer;
    std::size_t dialogs;
    bool questionnairePrinted;
};

class DocumentoEarlyEnd : public DocumentoTest, public ::testing::WithParamInterface<EarlyEnd> {};

void PrintTo(const EarlyEnd& c, std::ostream* os) { *os << c.name; }

TEST_P(DocumentoEarlyEnd, PrintsWhatWasDoneAndShowsNoMessage) {
    open();
    const QString before = doc_->rtfText()->toPlainText();
    GetParam().prepare(*this);
    pressImprimir(GetParam().answer);
    if (GetParam().dialogs == 0)
        printing_->queue(PrintAnswer::Print);  // left unused: the dialog never opened

    EXPECT_EQ(printing_->dialogs().size(), GetParam().dialogs);
    const std::vector<QStringList> expected =
        GetParam().questionnairePrinted ? std::vector<QStringList>{{before}} : std::vector<QStringList>{};
    EXPECT_EQ(printing_->printed(), expected);
    EXPECT_EQ(doc_->rtfText()->toPlainText(), before);
    EXPECT_TRUE(doc_->CONSIDERA()->toPlainText().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DocumentoEarlyEnd,
    ::testing::Values(
        EarlyEnd{"DialogCancelled", [](DocumentoTest&) {}, PrintAnswer::Cancel, 1, false},
        EarlyEnd{"ConsiderationsMissing", [](DocumentoTest& t) { t.removeConsiderations(); },
                 PrintAnswer::Print, 1, true},
        EarlyEnd{"ConsiderationsUnreadable",
                 [](DocumentoTest& t) { t.considerationsAsFolder(); },
                 PrintAnswer::Print, 1, true},
        EarlyEnd{"DataEngineError", [](DocumentoTest& t) { t.plantsRefuseToMove(); },
                 PrintAnswer::Print, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocumentoTest, ABuildThatFailsWhileOpeningLeavesTheTextEmptyAndTheFirstPressStillPrints) {
    plantsRefuseToMove();
    open();
    EXPECT_EQ(doc_->PrimeraVez, 0);
    EXPECT_TRUE(doc_->RTUltima()->toPlainText().isEmpty());

    plants_->setValidateHook({});
    pressImprimir(PrintAnswer::Print);
    const std::vector<QStringList> expected = {{built(), kConsiderations}};
    EXPECT_EQ(printing_->printed(), expected);
    EXPECT_TRUE(doc_->RTUltima()->toPlainText().isEmpty());
}

// The resize rule in twips, for the window's inner size in twips; what would
// come out negative stays at 0.
struct Placement {
    int width, height;                       // the window
    int boxLeft, boxTop, boxWidth, boxHeight;  // RTUltima
    int wrap;                                // RTUltima's right margin
    int buttonsTop;                          // the lefts are always 4560 and 5880
};

TEST_F(DocumentoTest, ResizeRulePlacesTheTextAndButtonsAndNeverGoesNegative) {
    const Placement cases[] = {
        {7500, 6060, 100, 100, 7300, 5060, 6900, 5360},    // as designed: also the first show
        {12000, 9000, 100, 100, 11800, 8000, 11400, 8300},
        {3000, 900, 100, 100, 2800, 0, 2400, 200},         // too low for the box
        {500, 600, 100, 100, 300, 0, 0, 0},                // too small for the margin and the buttons
        {150, 300, 100, 100, 0, 0, 0, 0},
    };
    open();
    doc_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(doc_.get()));
    const int dx = doc_->logicalDpiX(), dy = doc_->logicalDpiY();
    auto near = [](int pixels, int twips, int dpi) { return std::abs(pixels - twips * dpi / 1440) <= 1; };
    bool first = true;
    for (const Placement& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        if (!first)
            doc_->resize(c.width * dx / 1440, c.height * dy / 1440);
        first = false;
        QApplication::processEvents();
        ASSERT_TRUE(near(doc_->width(), c.width, dx) && near(doc_->height(), c.height, dy));
        const QRect box = doc_->RTUltima()->geometry();
        EXPECT_TRUE(near(box.x(), c.boxLeft, dx) && near(box.y(), c.boxTop, dy)) << box.x() << "," << box.y();
        EXPECT_TRUE(near(box.width(), c.boxWidth, dx)) << box.width();
        EXPECT_TRUE(near(box.height(), c.boxHeight, dy)) << box.height();
        EXPECT_EQ(doc_->RTUltima()->lineWrapMode(), QTextEdit::FixedPixelWidth);
        EXPECT_TRUE(near(doc_->RTUltima()->lineWrapColumnOrWidth(), c.wrap, dx))
            << doc_->RTUltima()->lineWrapColumnOrWidth();
        for (auto [button, left] : {std::pair{doc_->Command1(), 4560}, {doc_->Command2(), 5880}}) {
            EXPECT_TRUE(near(button->x(), left, dx)) << button->x();
            EXPECT_TRUE(near(button->y(), c.buttonsTop, dy)) << button->y();
        }
    }
}

TEST_F(DocumentoTest, NamedForScreenReadersAndDrivenFromTheKeyboard) {
    open();
    auto name = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    EXPECT_EQ(doc_->windowTitle(), QStringLiteral("Impresión de Solicitud"));
    EXPECT_EQ(name(doc_->RTUltima()), QStringLiteral("Solicitud"));
    EXPECT_EQ(name(doc_->Command1()), QStringLiteral("Imprimir"));
    EXPECT_EQ(name(doc_->Command2()), QStringLiteral("Cerrar"));
    EXPECT_FALSE(name(doc_->rtfText()).isEmpty());
    EXPECT_FALSE(name(doc_->CONSIDERA()).isEmpty());
    EXPECT_EQ(doc_->RTUltima()->font().pointSizeF(), 7.5);
    EXPECT_EQ(doc_->RTUltima()->font().family(), QStringLiteral("Arial"));
    EXPECT_TRUE(doc_->RTUltima()->isReadOnly());

    doc_->show();
    doc_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(doc_.get()));
    // Tab walks the visible controls in their tab places and leaves the text box.
    doc_->Command1()->setFocus(Qt::TabFocusReason);
    QWidget* expected[] = {doc_->Command2(), doc_->RTUltima(), doc_->Command1()};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
    printing_->queue(PrintAnswer::Print);
    // A mnemonic presses its button after a short animation.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_I, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return printing_->printed().size() == 1; }, 2000));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !doc_->isVisible(); }, 2000));
}

// pdftotext's reading of a PDF; pages end with a form feed.
QString pdfText(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Prints through the production path to a PDF file instead of asking.
class PdfPrinting : public ui::PrintService {
public:
    explicit PdfPrinting(QString file) : file_(std::move(file)) {}
    std::unique_ptr<ui::Printer> choosePrinter(QWidget*, bool) override {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(file_);
        return std::make_unique<ui::QtPrinter>(std::move(printer));
    }

private:
    QString file_;
};

TEST_F(DocumentoTest, ARealPrintPutsTheQuestionnaireAndThenTheConsiderationsIntoOneFile) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    open();
    const QString file = tmp_.filePath(QStringLiteral("solicitud.pdf"));
    auto scripted = ui::PrintService::install(std::make_unique<PdfPrinting>(file));
    QTest::mouseClick(doc_->Command1(), Qt::LeftButton);
    auto pdf = ui::PrintService::install(std::move(scripted));

    const QStringList pages = pdfText(file).split(u'\f', Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 2);
    EXPECT_TRUE(pages.first().contains(QStringLiteral("EMPRESA UNO")));
    EXPECT_FALSE(pages.first().contains(QStringLiteral("CONSIDERACIONES")));
    EXPECT_TRUE(pages.last().contains(QStringLiteral("Primera consideración.")));
    EXPECT_TRUE(pages.last().trimmed().startsWith(QStringLiteral("CONSIDERACIONES GENERALES")));
    // The title is centred on paper, the data are not.
    const QStringList lines = pages.first().split(u'\n');
    auto indent = [&](const QString& text) {
        for (const QString& l : lines)
            if (l.contains(text))
                return int(l.indexOf(text));
        return -1;
    };
    EXPECT_GT(indent(QStringLiteral("SECRETARIA DE QUENTARIA")), indent(QStringLiteral("TIPO DE TRAMITE")) + 20);
}

} // namespace
