// The program's wiring of the main window's buttons to the other windows:
// the questionnaire and help windows exist once and come to the front when
// asked again; the About box and the annexes window hold the program until
// they are closed, under the normal pointer, and are made afresh each time.
#include <QAbstractButton>
#include <QLabel>
#include <QTextEdit>
#include <QTimer>

#include "annexes/anexos.h"
#include "app/windows.h"
#include "capture/form1_fixture.h"
#include "help/acercade.h"
#include "help/ayuda.h"
#include "questionnaire/documento.h"

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
    // Runs `ask`, which must block on a modal window of type W; `inside` runs
    // while it is up, then the window is closed with `close`.
    template <class W> void modal(const std::function<void()>& ask, const std::function<void(W&)>& inside) {
        bool seen = false;
        QObject scope;  // the check cannot outlive this call's locals
        QTimer::singleShot(0, &scope, [&] {
            auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
            ASSERT_NE(w, nullptr);
            seen = true;
            ASSERT_NE(QApplication::overrideCursor(), nullptr);
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
            inside(*w);
            w->close();
        });
        ask();
        EXPECT_TRUE(seen);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the busy pointer is gone too
        flushDeletes();
        EXPECT_TRUE(shownWindows<W>().empty());
    }
};

TEST_F(WindowsTest, QuestionnaireAndHelpOpenOnceAndComeToTheFront) {
    twiceThenClose<questionnaire::frmDocument>([this] { form_->Command1_Click(7); });
    twiceThenClose<help::frmayuda>([this] { form_->Command1_Click(4); });
    auto doc = shownWindows<questionnaire::frmDocument>();
    ASSERT_EQ(doc.size(), 1u);
    EXPECT_FALSE(doc.front()->RTUltima->toPlainText().isEmpty());
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

}  // namespace
}  // namespace form1test
