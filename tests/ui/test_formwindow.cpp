// A window built from a layout table: controls by name and index, containers
// and tab pages, twips geometry, start states and what the Tab key visits.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <stdexcept>

#include "ui/busy.h"
#include "ui/codedcombo.h"
#include "ui/datagrid.h"
#include "ui/formwindow.h"
#include "ui/maskededit.h"
#include "ui_test_support.h"

namespace {

class FormWindowTest : public ::testing::Test {
protected:
    ui::FormWindow w{uitest::kSampleLayout};
};

TEST_F(FormWindowTest, ControlsByNameKindAndIndex) {
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Ventana de prueba"));
    ASSERT_NE(w.as<ui::MaskedEdit>("MaskEdBox1"), nullptr);
    EXPECT_EQ(w.as<ui::MaskedEdit>("MaskEdBox1")->text(), QString(13, ' '));  // the mask is applied
    EXPECT_TRUE(w.as<ui::CodedComboBox>("Combo5") && w.as<ui::DataGrid>("dbgplantas") && w.as<QGroupBox>("Frame3"));
    EXPECT_EQ(w.as<QLineEdit>("txtCalle")->text(), QStringLiteral("inicial"));
    EXPECT_EQ(w.as<QLineEdit>("txtCalle")->maxLength(), 20);
    EXPECT_EQ(w.control("cmdBoton"), nullptr);  // an array needs its index
    auto* b1 = w.as<QToolButton>("cmdBoton", 1);
    ASSERT_NE(b1, nullptr);
    EXPECT_EQ(b1->objectName(), QStringLiteral("cmdBoton_1"));
    EXPECT_TRUE(!b1->isEnabled() && !b1->icon().isNull());
    EXPECT_EQ(w.tabPlace(b1), 10);
    EXPECT_EQ(w.tabPlace(w.control("lblRfc")), -1);
    EXPECT_EQ(w.entry(&w), nullptr);
}

TEST_F(FormWindowTest, ContainersAndTabPagesInPageOrder) {
    auto* tabs = w.as<QTabWidget>("SSTab1");
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("I. Datos"));
    EXPECT_EQ(tabs->widget(1), w.control("SSTab1", 1));
    EXPECT_TRUE(w.control("SSTab1", 0)->isAncestorOf(w.control("txtTelefonoR2")));
    EXPECT_TRUE(w.control("SSTab1", 1)->isAncestorOf(w.control("dbgplantas")));
    EXPECT_EQ(w.control("txtTelefono")->parentWidget(), w.control("Frame1"));
}

TEST_F(FormWindowTest, GeometryFromTwipsThroughTheLogicalDpi) {
    const int dx = w.logicalDpiX(), dy = w.logicalDpiY();
    auto rect = [&](int l, int t, int wd, int h) { return QRect(l * dx / 1440, t * dy / 1440, wd * dx / 1440, h * dy / 1440); };
    if (dx == 96) EXPECT_EQ(w.twipsToPixelsX(1695), 113);  // 15 twips a pixel
    EXPECT_EQ(w.size(), QSize(10000 * dx / 1440, 6000 * dy / 1440));
    EXPECT_EQ(w.control("MaskEdBox1")->geometry(), rect(855, 450, 1695, 300));
    EXPECT_EQ(w.control("txtTelefono")->geometry(), rect(1500, 300, 1500, 300));  // relative to its frame
    // On a tab page the tabs take the top; the frame keeps its size.
    EXPECT_EQ(w.control("Frame3")->size(), rect(0, 0, 8000, 2000).size());
    EXPECT_LT(w.control("Frame3")->y(), 540 * dy / 1440);
}

// Hidden controls stay hidden when the window shows; Tab visits the tab
// places in order and skips hidden and disabled controls.
TEST_F(FormWindowTest, StartStatesAndTheTabKeyWalk) {
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_FALSE(w.control("TipoProg")->isVisible() || w.control("txtAdmLocal")->isVisible());
    EXPECT_TRUE(w.control("txtCalle")->isVisible());
    QWidget* start = w.control("MaskEdBox1");
    start->setFocus();
    std::vector<QString> visited;
    for (int i = 0; i < 12; ++i) {
        QWidget* f = QApplication::focusWidget();
        ASSERT_NE(f, nullptr);
        if (w.tabPlace(f) >= 0) visited.push_back(f->objectName());
        QTest::keyClick(f, Qt::Key_Tab);
        if (QApplication::focusWidget() == start) break;
    }
    EXPECT_EQ(visited, (std::vector<QString>{"MaskEdBox1", "txtCalle", "txtTelefono", "chkProdFinal", "txtTelefonoR2",
                                             "Combo5", "cmdBoton_0"}));
}

TEST(BusyPointer, BackToNormalEvenWhenTheCommandThrows) {
    try {
        ui::BusyPointer busy;
        ASSERT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        throw std::runtime_error("falla");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
