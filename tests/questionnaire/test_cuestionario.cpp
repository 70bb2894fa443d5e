// The questionnaire builder against the golden files (golden_row.h), and the document window, over real tables.
#include <QDir>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <functional>
#include <map>

#include "questionnaire/cuestionario.h"
#include "questionnaire/documento.h"
#include "questionnaire/golden_row.h"
#include "store/datadir.h"
#include "store/schema.h"
#include "support/test_support.h"

namespace {

using ui::PrintAnswer;
const QString kConsiderations = QStringLiteral("CONSIDERACIONES GENERALES\nPrimera consideración.");

// A data directory with the four data sources the questionnaire reads.
class ScratchData : public ::testing::Test {
public:
    void SetUp() override { store::ensureDataDirectory(dir_); }
    void openSources() {
        db_ = std::make_unique<store::Database>(dir_);
        for (auto [ds, table] :
             {std::pair{&plants_, "catdirpl"}, {&sectors_, "sector"}, {&goods_, "mercbi"}, {&producers_, "prodabas"}}) {
            *ds = std::make_unique<store::DataSource>(*db_, "dBASE III;", table);
            (*ds)->refresh();
        }
    }
    questionnaire::Sources sources() { return {*plants_, *sectors_, *goods_, *producers_}; }

    QTemporaryDir tmp_;
    std::filesystem::path dir_ = tmp_.path().toStdString();
    std::unique_ptr<store::Database> db_;
    std::unique_ptr<store::DataSource> plants_, sectors_, goods_, producers_;
};

// The main window's texts an input file names.
#define SHOWN(control)                                                                                                 \
    { QStringLiteral(#control), &ui::MainWindowState::control }
const std::map<QString, QString ui::MainWindowState::*> kShown = {
    SHOWN(Combo1),        SHOWN(txtProg1),    SHOWN(txtProg2),    SHOWN(MaskEdBox1),  SHOWN(txtApePat1),
    SHOWN(txtCalle),      SHOWN(txtColonia),  SHOWN(txtCP),       SHOWN(txtEstado),   SHOWN(txtCiudad),
    SHOWN(txtDelMun),     SHOWN(txtTelefono), SHOWN(txtfax),      SHOWN(txtEmail1),   SHOWN(cmbActividad),
    SHOWN(txtacredita),   SHOWN(Combo5),      SHOWN(txtApePatR2), SHOWN(txtApeMatR2), SHOWN(txtNombreR2),
    SHOWN(txtTelefonoR2), SHOWN(txtFaxR2),    SHOWN(EMAILREP)};
#undef SHOWN

class Golden : public ScratchData, public ::testing::WithParamInterface<std::string> {
protected:
    void load(const QString& input) {
        for (const QString& line : input.split(u'\n')) {
            if (line.startsWith(u"text ")) {
                const auto eq = line.indexOf(u'=');
                input_.main.*kShown.at(line.mid(5, eq - 5)) = line.mid(eq + 1);  // throws for an unknown name
            } else if (line.startsWith(u"combo1 ")) {
                input_.main.Combo1Index = line.mid(7).toInt();
            } else if (line == u"direct" || line == u"indirect") {
                (line == u"direct" ? input_.main.chkProdFinal : input_.main.chkrodIndirecto) = true;
            } else if (line.contains(u'|')) {
                const auto [table, row] = goldenRow(line);
                store::DbfTable::open(dir_ / (table + ".dbf"))->append(row);
            }
        }
    }
    questionnaire::Input input_{
        .main = {}, .today = QDate(2026, 12, 6), .locale = QLocale(QLocale::Spanish, QLocale::Mexico)};
};

TEST_P(Golden, Document) {
    const QString dir = kGoldenDir + QString::fromStdString(GetParam()) + "/";
    load(QString::fromUtf8(testsupport::readBytes(dir + "input.txt")));
    openSources();
    auto src = sources();
    const auto q = questionnaire::ArmaCuestionario(input_, src);
    // The title block is the document's start, up to the line feed before the application block.
    EXPECT_EQ(q.titleLength, q.text.indexOf(QStringLiteral("\n\nTIPO DE TRAMITE")) + 1);
    // Every list is walked to its end; the sectors stay on the last section's statement.
    EXPECT_TRUE(plants_->eof() && (producers_->eof() || !input_.main.chkProdFinal));
    if (input_.main.chkProdFinal || input_.main.chkrodIndirecto) {
        EXPECT_TRUE(sectors_->eof());
        EXPECT_NE(sectors_->recordSource().find(input_.main.chkrodIndirecto ? "= 2)" : "= 1)"), std::string::npos);
    }
    QString got = q.text, file = dir + "expected.txt";
    if (QFile::exists(dir + "programme.txt")) {
        // Between the empty plants block and the declaration.
        const QString before = QStringLiteral("PLANTAS\n\n\n"), after = QStringLiteral("\n\n\n\n         MANIFIESTO");
        const auto from = got.indexOf(before) + before.size();
        got = got.mid(from, got.lastIndexOf(after) - from);
        file = dir + "programme.txt";
    }
    if (QFile f(file); qEnvironmentVariableIsSet("ZELTAR_UPDATE_GOLDEN") && f.open(QIODevice::WriteOnly))
        f.write(got.toUtf8());
    EXPECT_EQ(got.toStdString(), testsupport::readBytes(file).toStdString());
}

std::vector<std::string> goldenCases() {
    std::vector<std::string> names;
    for (const QString& d : QDir(kGoldenDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        names.push_back(d.toStdString());
    return names;
}
INSTANTIATE_TEST_SUITE_P(Cases, Golden, ::testing::ValuesIn(goldenCases()),
                         [](const auto& info) { return info.param; });

class DocumentoTest : public ScratchData {
public:
    void SetUp() override {
        ScratchData::SetUp();
        testsupport::writeFile(considerations(), kConsiderations.toUtf8());
        openSources();
        main_.shown.txtApePat1 = QStringLiteral("EMPRESA UNO");
    }
    void TearDown() override {
        doc_.reset();
        EXPECT_EQ(printing_->unexpected(), 0);
        EXPECT_EQ(boxes_->texts(), QStringList());  // nothing here ever speaks
    }

    QString considerations() const { return tmp_.filePath(QStringLiteral("considera.txt")); }
    void open() { doc_ = std::make_unique<questionnaire::frmDocument>(main_, sources(), considerations()); }
    // The questionnaire as the main window stands now.
    QString built() {
        auto s = sources();
        questionnaire::Input input;
        input.main = main_.state();
        return questionnaire::ArmaCuestionario(input, s).text;
    }
    void pressImprimir(PrintAnswer answer) {
        printing_->queue(answer);
        QTest::mouseClick(doc_->Command1, Qt::LeftButton);
    }
    // Two plants and a hook that refuses to leave the first: the builder ends with a data engine error.
    void plantsRefuseToMove() {
        for (int i = 0; i < 2; ++i)
            store::DbfTable::open(dir_ / "catdirpl.dbf")
                ->append(store::Row(store::tableLayout("catdirpl").fields.size()));
        plants_->refresh();
        plants_->setValidateHook([](store::Action a) { return a != store::Action::MoveNext; });
    }

    struct : ui::MainWindow {
        ui::MainWindowState shown;
        ui::MainWindowState state() const override { return shown; }
    } main_;
    std::unique_ptr<questionnaire::frmDocument> doc_;
    testsupport::ScriptedBoxes boxes_;
    testsupport::ScriptedPrints printing_;
};

TEST_F(DocumentoTest, OpeningShowsTheQuestionnaireAndEachPressPrintsItAfresh) {
    open();
    EXPECT_TRUE(printing_->dialogs().empty());
    const QString shown = doc_->RTUltima->toPlainText();
    EXPECT_TRUE(shown == built() && shown == doc_->rtfText->toPlainText());
    EXPECT_TRUE(shown.contains(QStringLiteral("RAZON SOCIAL : EMPRESA UNO\n")));
    auto alignment = [](QTextEdit* box, const QString& line) {
        return box->document()->find(line).block().blockFormat().alignment();
    };
    for (const char* line : {"SECRETARIA DE QUENTARIA", "CUESTIONARIO DE SOLICITUD", "DATOS DE LA SOLICITUD"}) {
        EXPECT_EQ(alignment(doc_->rtfText, QString::fromLatin1(line)), Qt::AlignHCenter) << line;
        EXPECT_NE(alignment(doc_->RTUltima, QString::fromLatin1(line)), Qt::AlignHCenter) << line;
    }
    EXPECT_NE(alignment(doc_->rtfText, QStringLiteral("TIPO DE TRAMITE")), Qt::AlignHCenter);
    // Each press prints the questionnaire as it now stands; the shown text stays.
    std::vector<QStringList> expected;
    for (const char* company : {"EMPRESA DOS", "EMPRESA TRES"}) {
        main_.shown.txtApePat1 = QString::fromLatin1(company);
        expected.push_back({built(), kConsiderations});
        ASSERT_TRUE(expected.back()[0].contains(QString::fromLatin1(company)));
        pressImprimir(PrintAnswer::Print);
    }
    EXPECT_EQ(printing_->printed(), expected);
    ASSERT_EQ(printing_->dialogs().size(), 2u);
    EXPECT_TRUE(printing_->dialogs()[0].selectionOffered && printing_->dialogs()[1].selectionOffered);
    EXPECT_EQ(doc_->RTUltima->toPlainText(), shown);
}

// An early end says nothing and never prints half a build or the considerations alone. Each case keeps the last's.
TEST_F(DocumentoTest, APrintThatEndsEarlyPrintsWhatWasDoneAndShowsNoMessage) {
    // What ends it, how; the answer to the dialog, the dialogs shown, whether the questionnaire was printed.
    const std::tuple<const char*, std::function<void()>, PrintAnswer, std::size_t, bool> cases[] = {
        {"dialog cancelled", [] {}, PrintAnswer::Cancel, 1, false},
        {"considerations missing", [&] { QFile::remove(considerations()); }, PrintAnswer::Print, 1, true},
        {"data engine error", [&] { plantsRefuseToMove(); }, PrintAnswer::Print, 0, false},
    };
    open();
    const QString before = doc_->rtfText->toPlainText();
    for (const auto& [what, prepare, answer, dialogs, printed] : cases) {
        SCOPED_TRACE(what);
        printing_.renew();
        prepare();
        pressImprimir(answer);
        if (dialogs == 0)
            printing_->queue(PrintAnswer::Print);  // not asked for: the dialog never opened
        EXPECT_EQ(printing_->dialogs().size(), dialogs);
        EXPECT_EQ(printing_->printed(), printed ? std::vector<QStringList>{{before}} : std::vector<QStringList>{});
        EXPECT_EQ(doc_->rtfText->toPlainText(), before);
        EXPECT_TRUE(doc_->CONSIDERA->toPlainText().isEmpty());
    }
}

TEST_F(DocumentoTest, ABuildThatFailsWhileOpeningLeavesTheTextEmpty) {
    plantsRefuseToMove();
    open();
    EXPECT_TRUE(doc_->RTUltima->toPlainText().isEmpty());
}

TEST_F(DocumentoTest, ResizeRulePlacesTheTextAndButtonsAndNeverGoesNegative) {
    // Twips: the window; RTUltima's width, height, wrap; the buttons' top (RTUltima at 100,100, buttons 4560, 5880).
    const int cases[][6] = {
        {7500, 6060, 7300, 5060, 6900, 5360},  // as designed: the first show
        {150, 300, 0, 0, 0, 0},
    };
    open();
    doc_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(doc_.get()));
    const int dx = doc_->logicalDpiX(), dy = doc_->logicalDpiY();
    auto near = [](int pixels, int twips, int dpi) { return std::abs(pixels - twips * dpi / 1440) <= 1; };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c[0]) + "x" + std::to_string(c[1]));
        if (&c != &cases[0])
            doc_->resize(c[0] * dx / 1440, c[1] * dy / 1440);
        QApplication::processEvents();
        const QRect box = doc_->RTUltima->geometry();
        EXPECT_TRUE(near(box.x(), 100, dx) && near(box.y(), 100, dy));
        EXPECT_TRUE(near(box.width(), c[2], dx) && near(box.height(), c[3], dy)) << box.width() << "x" << box.height();
        EXPECT_TRUE(near(doc_->RTUltima->lineWrapColumnOrWidth(), c[4], dx));
        EXPECT_TRUE(near(doc_->Command1->x(), 4560, dx) && near(doc_->Command2->x(), 5880, dx));
        EXPECT_TRUE(near(doc_->Command1->y(), c[5], dy) && near(doc_->Command2->y(), c[5], dy));
    }
}

TEST_F(DocumentoTest, LeftOrPressedFromTheKeyboard) {
    open();
    EXPECT_EQ(doc_->RTUltima->font().pointSizeF(), 7.5);
    doc_->show();
    doc_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(doc_.get()));
    // Tab leaves the text for the first button; a mnemonic presses its button after a short animation.
    doc_->RTUltima->setFocus(Qt::TabFocusReason);
    QTest::keyClick(doc_->RTUltima, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), doc_->Command1);
    printing_->queue(PrintAnswer::Print);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_I, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return printing_->printed().size() == 1; }, 2000));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !doc_->isVisible(); }, 2000));
}

}  // namespace
