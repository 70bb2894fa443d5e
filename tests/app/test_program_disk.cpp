// A disk the program itself makes passes zeltar-verifica: the application
// saved, its sector typed, its goods and indirect producer pasted into the
// annexes window, the disk generated with the packing program.
#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>
#include <QTimer>

#include "annexes/anexos.h"
#include "app/windows.h"
#include "capture/form1_fixture.h"

namespace form1test {
namespace {

TEST_F(Form1Test, ADiskTheProgramMadeHasNoFindings) {
    writeDatoprov(completeRecord());  // an extension of a direct producer
    open();
    app::wireWindows(*form_, *db_);
    bool filled = false;
    QTimer::singleShot(0, form_.get(), [&] {
        auto* w = qobject_cast<annexes::Anexos*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        ui::DataGrid* sectors = w->grdMercyProd[1];
        focus(sectors);
        sectors->setCurrentIndex(sectors->model()->index(0, 0));
        typeHere(QStringLiteral("x\tELECTRONICA"));
        ASSERT_TRUE(sectors->commitRow());
        for (auto [tab, grid, text] : {std::tuple{0, w->dbganexo1, "84713001\tcomputadoras\r\n84713002\tteclados\r\n"},
                                       std::tuple{2, w->dbgProdAbas, "proveedor sa\t PUN850101AB1\r\n"}}) {
            w->Anexosf->setCurrentIndex(tab);
            focus(grid);
            grid->setCurrentIndex(grid->model()->index(0, tab == 0 ? 3 : 1));
            QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
            key(Qt::Key_V, Qt::ControlModifier);
        }
        filled = true;
        w->close();
    });
    form_->Command2_Click();
    ASSERT_TRUE(filled);
    EXPECT_EQ(rows("mercbi").size(), 2u);
    EXPECT_EQ(rows("prodabas").size(), 1u);

    QTemporaryDir disk;
    form_->diskette = disk.path().toStdU16String(), form_->pack9 = PACK9_EXE;
    boxes_->clear(), boxes_->queue(ui::Answer::Ok);
    click(capture::Form1::kMakeDisk);
    EXPECT_EQ(boxes_->texts().size(), 2) << boxes_->texts().join('|').toStdString();  // the prompt, then done
    QProcess verifica;
    verifica.start(QStringLiteral(ZELTAR_VERIFICA_EXE), {disk.path()});
    ASSERT_TRUE(verifica.waitForFinished(60000));
    EXPECT_EQ(verifica.readAllStandardOutput().toStdString(), "");
    EXPECT_EQ(verifica.exitCode(), 0);
}

}  // namespace
}  // namespace form1test
