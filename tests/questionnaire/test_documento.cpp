// The document window over a bare main window and real tables: what it shows
// (built once, when it opens) against what it prints (rebuilt at each press,
// then the considerations), the ways a print ends early, the resize rule, the
// keyboard, and one real print to a PDF file.
#include <gtest/gtest.h>

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
#include <functional>

#include "questionnaire/documento.h"
#include "store/datadir.h"
#include "ui/layouts/form1.h"
#include "ui/messagebox.h"
#include "ui/printing.h"

namespace {

using ui::PrintAnswer;
const QString kConsiderations = QStringLiteral("CONSIDERACIONES GENERALES\nPrimera consideración.");

class DocumentoTest : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        dir_ = tmp_.path().toStdString();
        store::ensureDataDirectory(dir_);
        QFile f(considerations());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(kConsiderations.toUtf8());
        db_ = std::make_unique<store::Database>(dir_);
        for (auto [ds, table] : {std::pair{&plants_, "catdirpl"}, {&sectors_, "sector"}, {&goods_, "mercbi"},
                                 {&producers_, "prodabas"}}) {
            *ds = std::make_unique<store::DataSource>(*db_, "dBASE III;", table);
            (*ds)->refresh();
        }
        setRazonSocial(QStringLiteral("EMPRESA UNO"));
    }
    void TearDown() override {
        doc_.reset();
        EXPECT_EQ(printing_->unexpected(), 0);
        EXPECT_EQ(boxes_->texts(), QStringList());  // nothing here ever speaks
        ui::PrintService::install(std::move(previousPrinting_));
        ui::MessageBoxService::install(std::move(previousBoxes_));
    }

    QString considerations() const { return tmp_.filePath(QStringLiteral("considera.txt")); }
    void setRazonSocial(const QString& text) { main_->as<QLineEdit>(QStringLiteral("txtApePat1"))->setText(text); }
    questionnaire::Sources sources() { return {*plants_, *sectors_, *goods_, *producers_}; }
    void open() { doc_ = std::make_unique<questionnaire::frmDocument>(*main_, sources(), considerations()); }
    // The questionnaire as the main window stands now.
    QString built() {
        auto s = sources();
        return questionnaire::ArmaCuestionario(questionnaire::readMainWindow(*main_), s).text;
    }
    void pressImprimir(PrintAnswer answer) {
        printing_->queue(answer);
        QTest::mouseClick(doc_->Command1(), Qt::LeftButton);
    }
    // Two plants, and a hook that refuses to leave the first: the builder
    // then ends with an error of the data engine.
    void plantsRefuseToMove() {
        {
            auto t = store::DbfTable::open(dir_ / "catdirpl.dbf");
            t->append(store::Row(t->fields().size()));
            t->append(store::Row(t->fields().size()));
        }
        plants_->refresh();
        plants_->setValidateHook([](store::Action a, bool& cancel) { cancel = a == store::Action::MoveNext; });
    }

    QTemporaryDir tmp_;
    std::filesystem::path dir_;
    std::unique_ptr<store::Database> db_;
    std::unique_ptr<store::DataSource> plants_, sectors_, goods_, producers_;
    std::unique_ptr<ui::FormWindow> main_ = std::make_unique<ui::FormWindow>(ui::form1Layout());
    std::unique_ptr<questionnaire::frmDocument> doc_;
    ui::ScriptedMessageBoxes* boxes_ = new ui::ScriptedMessageBoxes;
    ui::ScriptedPrinting* printing_ = new ui::ScriptedPrinting;
    std::unique_ptr<ui::MessageBoxService> previousBoxes_ =
        ui::MessageBoxService::install(std::unique_ptr<ui::ScriptedMessageBoxes>(boxes_));
    std::unique_ptr<ui::PrintService> previousPrinting_ =
        ui::PrintService::install(std::unique_ptr<ui::ScriptedPrinting>(printing_));
};

TEST_F(DocumentoTest, OpeningShowsTheQuestionnaireWithoutPrintingAndCentresOnlyThePrintedTitle) {
    open();
    EXPECT_TRUE(printing_->dialogs().empty());
    const QString shown = doc_->RTUltima()->toPlainText();
    EXPECT_TRUE(shown == built() && shown == doc_->rtfText()->toPlainText());
    EXPECT_TRUE(shown.contains(QStringLiteral("RAZON SOCIAL : EMPRESA UNO\n")));
    auto alignment = [](QTextEdit* box, const QString& line) {
        return box->document()->find(line).block().blockFormat().alignment();
    };
    for (const char* line : {"SECRETARIA DE QUENTARIA", "CUESTIONARIO DE SOLICITUD", "DATOS DE LA SOLICITUD"}) {
        EXPECT_EQ(alignment(doc_->rtfText(), QString::fromLatin1(line)), Qt::AlignHCenter) << line;
        EXPECT_NE(alignment(doc_->RTUltima(), QString::fromLatin1(line)), Qt::AlignHCenter) << line;
    }
    EXPECT_NE(alignment(doc_->rtfText(), QStringLiteral("TIPO DE TRAMITE")), Qt::AlignHCenter);
}

TEST_F(DocumentoTest, EachPressPrintsTheQuestionnaireAsItNowStandsWhileTheShownTextStays) {
    open();
    const QString atOpen = doc_->RTUltima()->toPlainText();
    std::vector<QStringList> expected;
    for (const char* company : {"EMPRESA DOS", "EMPRESA TRES"}) {
        setRazonSocial(QString::fromLatin1(company));
        expected.push_back({built(), kConsiderations});
        ASSERT_TRUE(expected.back()[0].contains(QString::fromLatin1(company)));
        pressImprimir(PrintAnswer::Print);
    }
    EXPECT_EQ(printing_->printed(), expected);
    ASSERT_EQ(printing_->dialogs().size(), 2u);
    EXPECT_TRUE(printing_->dialogs()[0].selectionOffered && printing_->dialogs()[1].selectionOffered);
    EXPECT_EQ(doc_->RTUltima()->toPlainText(), atOpen);
}

// A print that ends early says nothing, prints nothing half-built and never
// the considerations alone.
struct EarlyEnd {
    const char* name;
    std::function<void(DocumentoTest&)> prepare;
    PrintAnswer answer;
    std::size_t dialogs;
    bool questionnairePrinted;
};
void PrintTo(const EarlyEnd& c, std::ostream* os) { *os << c.name; }
class DocumentoEarlyEnd : public DocumentoTest, public ::testing::WithParamInterface<EarlyEnd> {};

TEST_P(DocumentoEarlyEnd, PrintsWhatWasDoneAndShowsNoMessage) {
    const EarlyEnd& c = GetParam();
    open();
    const QString before = doc_->rtfText()->toPlainText();
    c.prepare(*this);
    pressImprimir(c.answer);
    if (c.dialogs == 0) printing_->queue(PrintAnswer::Print);  // not asked for: the dialog never opened
    EXPECT_EQ(printing_->dialogs().size(), c.dialogs);
    EXPECT_EQ(printing_->printed(), c.questionnairePrinted ? std::vector<QStringList>{{before}} : std::vector<QStringList>{});
    EXPECT_EQ(doc_->rtfText()->toPlainText(), before);
    EXPECT_TRUE(doc_->CONSIDERA()->toPlainText().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, DocumentoEarlyEnd, ::testing::Values(
    EarlyEnd{"DialogCancelled", [](DocumentoTest&) {}, PrintAnswer::Cancel, 1, false},
    EarlyEnd{"ConsiderationsMissing", [](DocumentoTest& t) { QFile::remove(t.considerations()); }, PrintAnswer::Print, 1, true},
    EarlyEnd{"DataEngineError", [](DocumentoTest& t) { t.plantsRefuseToMove(); }, PrintAnswer::Print, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocumentoTest, ABuildThatFailsWhileOpeningLeavesTheTextEmptyAndTheFirstPressStillPrints) {
    plantsRefuseToMove();
    open();
    EXPECT_TRUE(doc_->RTUltima()->toPlainText().isEmpty());
    plants_->setValidateHook({});
    pressImprimir(PrintAnswer::Print);
    EXPECT_EQ(printing_->printed(), (std::vector<QStringList>{{built(), kConsiderations}}));
    EXPECT_TRUE(doc_->RTUltima()->toPlainText().isEmpty());
}

TEST_F(DocumentoTest, ResizeRulePlacesTheTextAndButtonsAndNeverGoesNegative) {
    // Twips: the window; RTUltima's width, height and right margin; the
    // buttons' top. RTUltima stays at 100,100, the buttons at 4560 and 5880.
    const int cases[][6] = {
        {7500, 6060, 7300, 5060, 6900, 5360},  // as designed: the first show
        {3000, 900, 2800, 0, 2400, 200},
        {150, 300, 0, 0, 0, 0},
    };
    open();
    doc_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(doc_.get()));
    const int dx = doc_->logicalDpiX(), dy = doc_->logicalDpiY();
    auto near = [](int pixels, int twips, int dpi) { return std::abs(pixels - twips * dpi / 1440) <= 1; };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c[0]) + "x" + std::to_string(c[1]));
        if (&c != &cases[0]) doc_->resize(c[0] * dx / 1440, c[1] * dy / 1440);
        QApplication::processEvents();
        const QRect box = doc_->RTUltima()->geometry();
        EXPECT_TRUE(near(box.x(), 100, dx) && near(box.y(), 100, dy));
        EXPECT_TRUE(near(box.width(), c[2], dx) && near(box.height(), c[3], dy)) << box.width() << "x" << box.height();
        EXPECT_TRUE(near(doc_->RTUltima()->lineWrapColumnOrWidth(), c[4], dx));
        EXPECT_TRUE(near(doc_->Command1()->x(), 4560, dx) && near(doc_->Command2()->x(), 5880, dx));
        EXPECT_TRUE(near(doc_->Command1()->y(), c[5], dy) && near(doc_->Command2()->y(), c[5], dy));
    }
}

// (The names screen readers get are checked for every window in tests/ui.)
TEST_F(DocumentoTest, LeftOrPressedFromTheKeyboard) {
    open();
    EXPECT_EQ(doc_->RTUltima()->font().pointSizeF(), 7.5);
    doc_->show();
    doc_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(doc_.get()));
    // Tab leaves the text for the first button; a mnemonic presses its button
    // after a short animation.
    doc_->RTUltima()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(doc_->RTUltima(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), doc_->Command1());
    printing_->queue(PrintAnswer::Print);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_I, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return printing_->printed().size() == 1; }, 2000));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !doc_->isVisible(); }, 2000));
}

// Prints through the production path to a PDF file instead of asking.
struct PdfPrinting : ui::PrintService {
    explicit PdfPrinting(QString file) : file(std::move(file)) {}
    std::unique_ptr<ui::Printer> choosePrinter(QWidget*, bool) override {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(file);
        return std::make_unique<ui::QtPrinter>(std::move(printer));
    }
    QString file;
};

TEST_F(DocumentoTest, ARealPrintPutsTheQuestionnaireAndThenTheConsiderationsIntoOneFile) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    open();
    const QString file = tmp_.filePath(QStringLiteral("solicitud.pdf"));
    auto scripted = ui::PrintService::install(std::make_unique<PdfPrinting>(file));
    QTest::mouseClick(doc_->Command1(), Qt::LeftButton);
    ui::PrintService::install(std::move(scripted));

    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f', Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 2);
    EXPECT_TRUE(pages.first().contains(QStringLiteral("EMPRESA UNO")));
    EXPECT_TRUE(pages.last().trimmed().startsWith(QStringLiteral("CONSIDERACIONES GENERALES")));
    EXPECT_TRUE(pages.last().contains(QStringLiteral("Primera consideración.")));
    const QStringList lines = pages.join(QString()).split(u'\n');
    auto indent = [&](const QString& text) {
        auto it = std::find_if(lines.begin(), lines.end(), [&](const QString& l) { return l.contains(text); });
        return it == lines.end() ? -1 : int(it->indexOf(text));
    };
    EXPECT_GT(indent(QStringLiteral("SECRETARIA DE QUENTARIA")), indent(QStringLiteral("TIPO DE TRAMITE")) + 20);
    for (const QString& line : lines)
        EXPECT_FALSE(line.trimmed().toInt() > 0) << "a page number: " << line.toStdString();
}

} // namespace
