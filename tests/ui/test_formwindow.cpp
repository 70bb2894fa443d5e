// A window built from its layout table; controls bound to a table.
#include <QCheckBox>
#include <QGroupBox>
#include <QTabWidget>
#include <QToolButton>

#include "store/datasource.h"
#include "ui/binding.h"
#include "ui/codedcombo.h"
#include "ui/datagrid.h"
#include "ui/formwindow.h"
#include "ui/maskededit.h"
#include "ui_test_support.h"

namespace {

TEST(FormWindow, ControlsByNameKindIndexAndContainerTheirGeometryAndStartStates) {
    ui::FormWindow w(uitest::kSampleLayout);
    ASSERT_NE(w.as<ui::MaskedEdit>("MaskEdBox1"), nullptr);
    EXPECT_EQ(w.as<ui::MaskedEdit>("MaskEdBox1")->text(), QString(13, ' '));  // the mask is applied
    EXPECT_TRUE(w.as<ui::CodedComboBox>("Combo5") && w.as<ui::DataGrid>("dbgplantas") && w.as<QGroupBox>("Frame3"));
    EXPECT_TRUE(w.as<QLineEdit>("txtCalle")->text() == "inicial" && w.as<QLineEdit>("txtCalle")->maxLength() == 20);
    EXPECT_EQ(w.control("cmdBoton"), nullptr);  // an array needs its index
    auto* b1 = w.as<QToolButton>("cmdBoton", 1);
    ASSERT_NE(b1, nullptr);
    EXPECT_EQ(b1->objectName(), QStringLiteral("cmdBoton_1"));
    EXPECT_TRUE(!b1->isEnabled() && !b1->icon().isNull());
    EXPECT_EQ(w.tabPlace(b1), 10);
    EXPECT_EQ(w.tabPlace(w.control("lblRfc")), -1);
    // Containers, and tab pages in page order.
    auto* tabs = w.as<QTabWidget>("SSTab1");
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("I. Datos"));
    EXPECT_EQ(tabs->widget(1), w.control("SSTab1", 1));
    EXPECT_TRUE(w.control("SSTab1", 0)->isAncestorOf(w.control("txtTelefonoR2")));
    EXPECT_TRUE(w.control("SSTab1", 1)->isAncestorOf(w.control("dbgplantas")));
    EXPECT_EQ(w.control("txtTelefono")->parentWidget(), w.control("Frame1"));
    // Geometry from twips.
    const int dx = w.logicalDpiX(), dy = w.logicalDpiY();
    auto rect = [&](int l, int t, int wd, int h) {
        return QRect(l * dx / 1440, t * dy / 1440, wd * dx / 1440, h * dy / 1440);
    };
    EXPECT_TRUE(dx != 96 || w.twipsToPixelsX(1695) == 113);  // 15 twips a pixel
    EXPECT_EQ(w.size(), QSize(10000 * dx / 1440, 6000 * dy / 1440));
    EXPECT_EQ(w.control("MaskEdBox1")->geometry(), rect(855, 450, 1695, 300));
    EXPECT_EQ(w.control("txtTelefono")->geometry(), rect(1500, 300, 1500, 300));  // relative to its frame
    // On a tab page the tabs take the top; the frame keeps its size.
    EXPECT_EQ(w.control("Frame3")->size(), rect(0, 0, 8000, 2000).size());
    EXPECT_LT(w.control("Frame3")->y(), 540 * dy / 1440);
    // Hidden controls stay hidden when the window shows.
    w.show();
    EXPECT_FALSE(w.control("TipoProg")->isVisible());
    EXPECT_TRUE(w.control("txtCalle")->isVisible());
}

// A save writes the bound controls with the fields' types; a re-read shows the row again.
using store::Value;

TEST(Binding, SavesTheControlsAndShowsTheRowAgain) {
    QTemporaryDir tmp;
    const std::filesystem::path dir(tmp.path().toStdString());
    using store::FieldType;
    store::DbfTable::create(dir / "datoprov.dbf", {{"RFC", FieldType::Character, 13, 0},
                                                   {"NOMBRE", FieldType::Character, 25, 0},
                                                   {"PROG1P", FieldType::Numeric, 4, 0},
                                                   {"ACTIVO", FieldType::Logical, 1, 0}});
    store::Database db(dir);
    store::DataSource src(db, "FoxPro 2.5;", "datoprov");
    src.refresh();
    ui::MaskedEdit rfc;
    QLineEdit nombre, prog;
    QCheckBox activo;
    rfc.setMask(QStringLiteral("&&&&999999aaa"));
    ui::Binding binding(src);
    for (auto [w, field] :
         {std::pair<QWidget*, const char*>{&rfc, "RFC"}, {&nombre, "NOMBRE"}, {&prog, "PROG1P"}, {&activo, "ACTIVO"}})
        binding.bind(w, field);
    auto onDisk = [&] { return store::DbfTable::open(dir / "datoprov.dbf")->read(0); };
    src.addNew();  // the listener shows the blank new row
    EXPECT_EQ(rfc.text(), QString(13, ' '));
    rfc.setMaskedText(QStringLiteral(" ABC800101XY1"));
    nombre.setText(QStringLiteral("JOSÉ"));
    prog.setText(QStringLiteral("2024"));
    activo.setChecked(true);
    binding.save();
    EXPECT_EQ(onDisk(), (store::Row{Value(" ABC800101XY1"), Value("JOSÉ"), Value(2024), Value(true)}));
    rfc.setMaskedText({});
    nombre.clear();
    src.refresh();
    EXPECT_EQ(rfc.text(), QStringLiteral(" ABC800101XY1"));  // the leading blank is kept
    EXPECT_TRUE(nombre.text() == "JOSÉ" && prog.text() == "2024" && activo.isChecked());
    // A blank number is null, a wrong one refused; a later control's write does not undo an earlier one.
    src.edit();
    prog.setText(QStringLiteral("  "));
    binding.save();
    EXPECT_TRUE(onDisk()[2].isNull());
    src.edit();
    prog.setText(QStringLiteral("12a"));
    EXPECT_THROW(binding.write(), store::StoreError);
    prog.setText(QStringLiteral("7"));
    nombre.setText(QStringLiteral("ANA"));
    binding.save();
    EXPECT_EQ(onDisk()[1], Value("ANA"));
    EXPECT_EQ(onDisk()[2], Value(7));
}

// Numbers, texts and logicals: the binding test above.
TEST(FieldValue, ReadsADateOfEightDigits) {
    const store::FieldDef date{"D", store::FieldType::Date, 8, 0};
    EXPECT_EQ(ui::fieldValue(date, "20240131"), Value(store::Date{2024, 1, 31}));
    EXPECT_THROW(ui::fieldValue(date, "2024"), store::StoreError);
}

}  // namespace

// Asking for a control of another kind, or one the layout lacks, stops the program naming both.
TEST(FormWindowDeathTest, AControlMissingOrOfAnotherKindStopsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ui::FormWindow w(uitest::kSampleLayout);
    EXPECT_EQ(w.require<QLineEdit>("txtCalle"), w.control("txtCalle"));
    EXPECT_DEATH(w.require<QCheckBox>("txtCalle"), "frmPrueba: the control txtCalle is a QLineEdit, not the QCheckBox");
    EXPECT_DEATH(w.require<QToolButton>("cmdBoton", 2), "frmPrueba: the layout has no control cmdBoton\\(2\\)");
}
