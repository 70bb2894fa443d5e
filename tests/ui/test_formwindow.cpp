#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <algorithm>

#include "ui/codedcombo.h"
#include "ui/datagrid.h"
#include "ui/formwindow.h"
#include "ui/maskededit.h"

namespace {

using ui::Kind;

// A small window with what the real ones use: a control array, labels,
// frames, a tab control with pages, a hidden control and a grid.
const ui::ControlSpec kControls[] = {
    {.name = "cmdBoton", .index = 0, .kind = Kind::PictureButton, .tab = 9, .left = 0, .top = 0, .width = 375,
     .height = 375, .toolTip = "Grabar datos"},
    {.name = "cmdBoton", .index = 1, .kind = Kind::PictureButton, .tab = 10, .left = 450, .top = 0, .width = 375,
     .height = 375, .enabled = false, .toolTip = "Borra Anexos"},
    {.name = "lblRfc", .kind = Kind::Label, .caption = "RFC", .left = 150, .top = 450, .width = 600, .height = 255},
    {.name = "MaskEdBox1", .kind = Kind::MaskedEdit, .label = "lblRfc", .field = "RFC", .maxLength = 13, .tab = 1,
     .left = 855, .top = 450, .width = 1695, .height = 300, .mask = "&&&&999999aaa"},
    {.name = "lblTel1", .kind = Kind::Label, .caption = "Teléfono", .left = 150, .top = 300, .width = 900,
     .height = 255, .container = "Frame1"},
    {.name = "Frame1", .kind = Kind::Frame, .caption = "Domicilio Fiscal", .left = 150, .top = 900, .width = 7000,
     .height = 1500},
    {.name = "txtTelefono", .kind = Kind::TextBox, .label = "lblTel1", .field = "TELEFONO", .maxLength = 15,
     .tab = 3, .left = 1500, .top = 300, .width = 1500, .height = 300, .container = "Frame1"},
    {.name = "lblCalle", .kind = Kind::Label, .caption = "Calle y No.", .left = 3200, .top = 300, .width = 900,
     .height = 255, .container = "Frame1"},
    {.name = "txtCalle", .kind = Kind::TextBox, .caption = "inicial", .label = "lblCalle", .field = "CALLEYNO",
     .maxLength = 20, .tab = 2, .left = 4200, .top = 300, .width = 2500, .height = 300, .container = "Frame1"},
    {.name = "TipoProg", .kind = Kind::TextBox, .caption = "0", .field = "TIPOPROG", .tab = 4, .left = 3000,
     .top = 450, .width = 465, .height = 315, .visible = false},
    {.name = "SSTab1", .kind = Kind::TabControl, .left = 150, .top = 2500, .width = 9000, .height = 3000},
    {.name = "SSTab1", .index = 1, .kind = Kind::TabPage, .caption = "II Domicilio de Plantas",
     .container = "SSTab1"},
    {.name = "SSTab1", .index = 0, .kind = Kind::TabPage, .caption = "I. Datos", .container = "SSTab1"},
    {.name = "Frame3", .kind = Kind::Frame, .caption = "Datos del Representante legal", .left = 135, .top = 540,
     .width = 8000, .height = 2000, .container = "SSTab1", .containerIndex = 0},
    {.name = "lblTel2", .kind = Kind::Label, .caption = "Teléfono", .left = 100, .top = 300, .width = 900,
     .height = 255, .container = "Frame3"},
    {.name = "txtTelefonoR2", .kind = Kind::TextBox, .label = "lblTel2", .field = "TEL_REPREG", .tab = 6,
     .left = 1100, .top = 300, .width = 1500, .height = 300, .container = "Frame3"},
    {.name = "chkProdFinal", .kind = Kind::CheckBox, .caption = "Productor Directo", .tab = 5, .left = 100,
     .top = 700, .width = 2000, .height = 300, .container = "Frame3"},
    {.name = "lblAdm", .kind = Kind::Label, .caption = "Adm. local de recaudación", .left = 100, .top = 1100,
     .width = 2000, .height = 255, .container = "Frame3"},
    {.name = "Combo5", .kind = Kind::ComboBox, .label = "lblAdm", .tab = 7, .left = 2200, .top = 1100,
     .width = 2000, .height = 315, .container = "Frame3"},
    {.name = "dbgplantas", .kind = Kind::Grid, .tab = 8, .left = 270, .top = 630, .width = 8000, .height = 1995,
     .container = "SSTab1", .containerIndex = 1},
    {.name = "txtAdmLocal", .kind = Kind::TextBox, .field = "COLONIA", .tab = 11, .left = 6000, .top = 450,
     .width = 1000, .height = 300, .visible = false},
};
const ui::WindowLayout kLayout = {"frmPrueba", "Ventana de prueba", 10000, 6000, kControls,
                                  int(std::size(kControls))};

QString accessible(QWidget* w, QAccessible::Text t = QAccessible::Name) {
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
    return i ? i->text(t) : QStringLiteral("<none>");
}

class FormWindowTest : public ::testing::Test {
protected:
    ui::FormWindow w{kLayout};
};

TEST_F(FormWindowTest, ControlsByNameKindAndIndex) {
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Ventana de prueba"));
    EXPECT_EQ(w.controls().size(), std::size(kControls));
    EXPECT_NE(w.as<ui::MaskedEdit>("MaskEdBox1"), nullptr);
    EXPECT_EQ(w.as<ui::MaskedEdit>("MaskEdBox1")->text(), QString(13, ' '));
    EXPECT_NE(w.as<ui::CodedComboBox>("Combo5"), nullptr);
    EXPECT_NE(w.as<ui::DataGrid>("dbgplantas"), nullptr);
    EXPECT_NE(w.as<QGroupBox>("Frame3"), nullptr);
    EXPECT_NE(w.as<QTabWidget>("SSTab1"), nullptr);
    EXPECT_EQ(w.as<QLineEdit>("txtCalle")->text(), QStringLiteral("inicial"));
    EXPECT_EQ(w.as<QLineEdit>("txtCalle")->maxLength(), 20);
    EXPECT_EQ(w.control("cmdBoton"), nullptr);  // an array needs its index
    QWidget* b1 = w.control("cmdBoton", 1);
    ASSERT_NE(b1, nullptr);
    EXPECT_EQ(b1->objectName(), QStringLiteral("cmdBoton_1"));
    EXPECT_EQ(b1->property("index").toInt(), 1);
    EXPECT_EQ(b1->toolTip(), QStringLiteral("Borra Anexos"));
    EXPECT_FALSE(b1->isEnabled());
    EXPECT_FALSE(qobject_cast<QToolButton*>(b1)->icon().isNull());
    EXPECT_EQ(w.tabPlace(b1), 10);
    EXPECT_EQ(w.tabPlace(w.control("lblRfc")), -1);
    EXPECT_EQ(w.spec(&w), nullptr);
}

TEST_F(FormWindowTest, ContainersAndTabPagesInPageOrder) {
    auto* tabs = w.as<QTabWidget>("SSTab1");
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("I. Datos"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("II Domicilio de Plantas"));
    EXPECT_EQ(tabs->widget(0), w.control("SSTab1", 0));
    EXPECT_EQ(tabs->widget(1), w.control("SSTab1", 1));
    EXPECT_TRUE(w.control("SSTab1", 0)->isAncestorOf(w.control("txtTelefonoR2")));
    EXPECT_TRUE(w.control("SSTab1", 1)->isAncestorOf(w.control("dbgplantas")));
    EXPECT_EQ(w.control("txtTelefono")->parentWidget(), w.control("Frame1"));
    EXPECT_EQ(w.control("Frame1")->parentWidget(), &w);
}

TEST_F(FormWindowTest, GeometryFromTwipsThroughTheLogicalDpi) {
    const int dpiX = w.logicalDpiX(), dpiY = w.logicalDpiY();
    EXPECT_EQ(w.twipsToPixelsX(1440), dpiX);
    if (dpiX == 96) {
        EXPECT_EQ(w.twipsToPixelsX(1695), 113);  // 15 twips a pixel
    }
    EXPECT_EQ(w.size(), QSize(10000 * dpiX / 1440, 6000 * dpiY / 1440));
    EXPECT_EQ(w.control("MaskEdBox1")->geometry(),
              QRect(855 * dpiX / 1440, 450 * dpiY / 1440, 1695 * dpiX / 1440, 300 * dpiY / 1440));
    // Inside a frame, relative to the frame.
    EXPECT_EQ(w.control("txtTelefono")->geometry(),
              QRect(1500 * dpiX / 1440, 300 * dpiY / 1440, 1500 * dpiX / 1440, 300 * dpiY / 1440));
    // On a tab page the tabs take the top; the frame keeps its size.
    EXPECT_EQ(w.control("Frame3")->size(), QSize(8000 * dpiX / 1440, 2000 * dpiY / 1440));
    EXPECT_LT(w.control("Frame3")->y(), 540 * dpiY / 1440);
}

TEST_F(FormWindowTest, HiddenControlsStayHiddenWhenTheWindowShows) {
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_FALSE(w.control("TipoProg")->isVisible());
    EXPECT_FALSE(w.control("txtAdmLocal")->isVisible());
    EXPECT_EQ(w.as<QLineEdit>("TipoProg")->text(), QStringLiteral("0"));
    EXPECT_TRUE(w.control("MaskEdBox1")->isVisible());
    EXPECT_TRUE(w.control("txtCalle")->isVisible());
}

TEST_F(FormWindowTest, TabOrderFollowsTheTabPlaces) {
    // The whole focus chain, hidden controls included.
    std::vector<int> places;
    QWidget* start = w.control("MaskEdBox1");
    QWidget* p = start;
    do {
        const int t = w.tabPlace(p);
        if (t >= 0)
            places.push_back(t);
        p = p->nextInFocusChain();
    } while (p && p != start);
    EXPECT_EQ(places, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));

    // And what the Tab key visits: hidden and disabled controls are skipped.
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    start->setFocus();
    std::vector<QString> visited;
    for (int i = 0; i < 12; ++i) {
        QWidget* f = QApplication::focusWidget();
        ASSERT_NE(f, nullptr);
        if (w.tabPlace(f) >= 0)
            visited.push_back(f->objectName());
        QTest::keyClick(f, Qt::Key_Tab);
        if (QApplication::focusWidget() == start)
            break;
    }
    EXPECT_EQ(visited, (std::vector<QString>{"MaskEdBox1", "txtCalle", "txtTelefono", "chkProdFinal",
                                             "txtTelefonoR2", "Combo5", "cmdBoton_0"}));
}

TEST_F(FormWindowTest, AccessibleNamesFromLabelsCaptionsAndToolTips) {
    struct Case {
        const char* control;
        int index;
        QString name;
        QString description;  // null: not checked
    };
    const Case cases[] = {
        {"MaskEdBox1", -1, "RFC", ""},
        {"txtCalle", -1, "Calle y No.", ""},
        // Two fields labelled "Teléfono": told apart by their frames.
        {"txtTelefono", -1, "Teléfono", "Domicilio Fiscal"},
        {"txtTelefonoR2", -1, "Teléfono", "Datos del Representante legal"},
        {"Combo5", -1, "Adm. local de recaudación", ""},
        {"cmdBoton", 0, "Grabar datos", "Grabar datos"},
        {"cmdBoton", 1, "Borra Anexos", "Borra Anexos"},
        {"chkProdFinal", -1, "Productor Directo", QString()},
        {"Frame3", -1, "Datos del Representante legal", QString()},
        {"SSTab1", 1, "II Domicilio de Plantas", QString()},
        // A grid without a caption is named by its tab page.
        {"dbgplantas", -1, "II Domicilio de Plantas", QString()},
        // Hidden controls without a label: their names in words.
        {"TipoProg", -1, "Tipo Prog", QString()},
        {"txtAdmLocal", -1, "Adm Local", QString()},
    };
    for (const Case& c : cases) {
        QWidget* control = w.control(QString::fromUtf8(c.control), c.index);
        ASSERT_NE(control, nullptr) << c.control;
        EXPECT_EQ(accessible(control), c.name) << c.control;
        if (!c.description.isNull()) {
            EXPECT_EQ(accessible(control, QAccessible::Description), c.description) << c.control;
        }
    }
    auto* grid = w.as<ui::DataGrid>("dbgplantas");
    grid->setCaption(QStringLiteral("S E C T O R E S"));
    EXPECT_EQ(accessible(grid), QStringLiteral("S E C T O R E S"));
    EXPECT_EQ(ui::FormWindow::nameInWords(kControls[9]), QStringLiteral("Tipo Prog"));
}

} // namespace
