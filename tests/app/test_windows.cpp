// The main window's buttons wired to the other windows, and a disk made from what was typed into them.
#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>

#include "annexes/anexos.h"
#include "app/windows.h"
#include "capture/form1_fixture.h"
#include "help/acercade.h"
#include "help/ayuda.h"
#include "questionnaire/documento.h"
#include "support/test_support.h"

namespace form1test {
namespace {

template <class W> std::vector<W*> shownWindows() {
    std::vector<W*> out;
    for (QWidget* t : QApplication::topLevelWidgets())
        if (auto* w = qobject_cast<W*>(t); w && w->isVisible())
            out.push_back(w);
    return out;
}
void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

class WindowsTest : public Form1Test {
protected:
    void SetUp() override {
        Form1Test::SetUp();
        writeDatoprov(filledRecord());
        Form1Test::open();
        app::wireWindows(*form_, *db_);
    }
    template <class W> void twiceThenClose(const std::function<void()>& ask) {
        ask();
        ask();
        auto shown = shownWindows<W>();
        ASSERT_EQ(shown.size(), 1u);
        QPointer<W> first = shown.front();
        first->close();
        flushDeletes();
        EXPECT_TRUE(first.isNull());  // gone when closed
        ask();
        EXPECT_EQ(shownWindows<W>().size(), 1u);  // and made again when asked
    }
    // `ask` must block on a modal W; `inside` runs while it is up, then the window is closed.
    template <class W> void modal(const std::function<void()>& ask, const std::function<void(W&)>& inside) {
        testsupport::whileModal<W>(ask, [&](W& w) {
            ASSERT_NE(QApplication::overrideCursor(), nullptr);
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
            inside(w);
            w.close();
        });
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the busy pointer is gone too
        flushDeletes();
        EXPECT_TRUE(shownWindows<W>().empty());
    }
};

TEST_F(WindowsTest, QuestionnaireAndHelpOpenOnceAndComeToTheFront) {
    twiceThenClose<questionnaire::frmDocument>([this] { form_->Command1_Click(7); });
    twiceThenClose<help::frmayuda>([this] { form_->Command1_Click(4); });
}

TEST_F(WindowsTest, AboutAndAnnexesWaitUntilClosed) {
    modal<help::frmAbout>([this] { form_->Command1_Click(9); },
                          [](help::frmAbout& about) { EXPECT_TRUE(about.lblVersion->text().endsWith("3.0.0")); });

    // The annexes read the programme type that the annexes button computes.
    form_->chkProdFinal->setChecked(false);
    form_->chkrodIndirecto->setChecked(true);
    for (int round = 0; round < 2; ++round) {  // loaded afresh each time
        modal<annexes::Anexos>([this] { form_->Command2_Click(); },
                               [](annexes::Anexos& w) {
                                   EXPECT_FALSE(w.loadFailed());
                                   EXPECT_EQ(w.Anexosf->currentIndex(), 1);
                                   EXPECT_FALSE(w.Anexosf->isTabEnabled(0));
                               });
    }
    EXPECT_EQ(boxes_->shown().size(), 0u);
}

// A disk the program makes (sector typed, goods and producer pasted into the annexes) passes zeltar-verifica.
TEST_F(Form1Test, ADiskTheProgramMadeHasNoFindings) {
    writeDatoprov(completeRecord());  // an extension of a direct producer
    open();
    app::wireWindows(*form_, *db_);
    testsupport::whileModal<annexes::Anexos>(
        [&] { form_->Command2_Click(); },
        [&](annexes::Anexos& w) {
            ui::DataGrid* sectors = w.grdMercyProd[1];
            focus(sectors);
            sectors->setCurrentIndex(sectors->model()->index(0, 0));
            typeHere(QStringLiteral("x\tELECTRONICA"));
            ASSERT_TRUE(sectors->commitRow());
            for (auto [tab, grid, text] :
                 {std::tuple{0, w.dbganexo1, "84713001\tcomputadoras\r\n84713002\tteclados\r\n"},
                  std::tuple{2, w.dbgProdAbas, "proveedor sa\t PUN850101AB1\r\n"}}) {
                w.Anexosf->setCurrentIndex(tab);
                focus(grid);
                grid->setCurrentIndex(grid->model()->index(0, tab == 0 ? 3 : 1));
                QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
                key(Qt::Key_V, Qt::ControlModifier);
            }
            w.close();
        });
    EXPECT_EQ(rows("mercbi").size(), 2u);
    EXPECT_EQ(rows("prodabas").size(), 1u);

    QTemporaryDir disk;
    form_->diskette = disk.path().toStdU16String(), form_->pack9 = PACK9_EXE;
    boxes_->clear(), boxes_->queue(ui::Answer::Ok);
    click(capture::Form1::kMakeDisk);
    EXPECT_EQ(boxes_->texts().size(), 2) << boxes_->texts().join('|').toStdString();  // the prompt, then done
    QByteArray findings;
    EXPECT_EQ(testsupport::run(QStringLiteral(ZELTAR_VERIFICA_EXE), {disk.path()}, &findings), 0);
    EXPECT_EQ(findings.toStdString(), "");
}

}  // namespace
}  // namespace form1test
