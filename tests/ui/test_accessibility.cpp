// Every window built from its layout table: controls named for screen readers, tab order, captions whole.
#include <QAccessible>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <algorithm>
#include <map>
#include <set>

#include "ui/formwindow.h"
#include "ui/layouts/acercade.h"
#include "ui/layouts/anexos.h"
#include "ui/layouts/documento.h"
#include "ui/layouts/form1.h"
#include "ui_test_support.h"

namespace {

using ui::Kind;

QString accessible(QWidget* w, QAccessible::Text t = QAccessible::Name) {
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
    return i ? i->text(t) : QString();
}
bool takesInput(Kind k) {
    return k == Kind::TextBox || k == Kind::MaskedEdit || k == Kind::ComboBox || k == Kind::ListBox
           || k == Kind::RichText;
}

// Two fields with the same label inside one frame: the frame alone cannot tell them apart.
const ui::ControlSpec kSameFrame[] = {
    {.name = "Frame1", .kind = Kind::Frame, .caption = "Contacto", .width = 5000, .height = 1500},
    {.name = "lblFax1", .kind = Kind::Label, .caption = "Fax", .container = "Frame1"},
    {.name = "txtFaxOficina", .kind = Kind::TextBox, .label = "lblFax1", .tab = 1, .container = "Frame1"},
    {.name = "txtFaxPlanta", .kind = Kind::TextBox, .label = "lblFax1", .tab = 2, .container = "Frame1"},
};
const ui::WindowLayout kSameFrameLayout = {"frmDuplicados",           "Duplicados", 6000, 2000, kSameFrame,
                                           int(std::size(kSameFrame))};

struct WindowCase {
    const char* name;
    const ui::WindowLayout& (*layout)();
};
const WindowCase kWindows[] = {
    {"Form1", ui::form1Layout},
    {"Anexos", ui::anexosLayout},
    {"frmAbout", ui::frmAboutLayout},
    {"SameLabelsInOneFrame", []() -> const ui::WindowLayout& { return kSameFrameLayout; }},
    {"Sample", []() -> const ui::WindowLayout& { return uitest::kSampleLayout; }},
};

class EveryWindow : public ::testing::TestWithParam<WindowCase> {};

// Every control an operator works with is named, and inputs that share a name are told apart.
TEST_P(EveryWindow, EveryControlIsNamedFromItsTable) {
    ui::FormWindow w(GetParam().layout());
    std::map<QString, std::set<QString>> descriptions;  // of the inputs sharing a name
    std::map<QString, int> sharing;
    for (QWidget* c : w.controls()) {
        const ui::ControlSpec& s = *w.entry(c);
        SCOPED_TRACE(std::string(s.name) + "(" + std::to_string(s.index) + ")");
        const QString name = accessible(c);
        if (s.label) {
            EXPECT_NE(w.control(QString::fromUtf8(s.label)), nullptr) << "names a label that is not there";
        }
        if (takesInput(s.kind) || s.kind == Kind::Grid || s.kind == Kind::PictureButton || s.kind == Kind::Button) {
            EXPECT_FALSE(name.trimmed().isEmpty());
        }
        if (takesInput(s.kind)) {
            ++sharing[name];
            descriptions[name].insert(accessible(c, QAccessible::Description));
        }
    }
    for (const auto& [name, count] : sharing)  // told apart by their descriptions
        EXPECT_EQ(int(descriptions[name].size()), count) << name.toStdString();
}

TEST_P(EveryWindow, FocusChainFollowsTheTabPlaces) {
    ui::FormWindow w(GetParam().layout());
    auto inChain = [&](QWidget* c) { return w.tabPlace(c) >= 0 && (c->focusPolicy() & Qt::TabFocus); };
    QWidget* start = nullptr;
    std::size_t focusable = 0;
    for (QWidget* c : w.controls()) {
        if (!inChain(c))
            continue;
        ++focusable;
        if (!start || w.tabPlace(c) < w.tabPlace(start))
            start = c;
    }
    ASSERT_NE(start, nullptr);
    std::vector<int> places;  // hidden controls included
    QWidget* p = start;
    do {
        if (inChain(p))
            places.push_back(w.tabPlace(p));
        p = p->nextInFocusChain();
    } while (p && p != start);
    EXPECT_TRUE(std::is_sorted(places.begin(), places.end()));
    EXPECT_EQ(places.size(), focusable);
}

// Drawn for 8-point Arial: in it, or its metric twin, every caption fits the box its table gives it.
TEST_P(EveryWindow, CaptionsFitTheirBoxesInArialOrItsTwin) {
    ui::FormWindow w(GetParam().layout());
    const QString family = QFontInfo(w.font()).family();
    EXPECT_TRUE(family == "Arial" || family == "Liberation Sans" || family == "Arimo") << family.toStdString();
    for (QWidget* c : w.controls()) {
        if (!qobject_cast<QLabel*>(c) && !qobject_cast<QCheckBox*>(c))
            continue;
        if (c->isHidden() || c->width() == 0)
            continue;  // never shown, or a table without places
        const auto* label = qobject_cast<QLabel*>(c);
        const bool fits = label && label->wordWrap() ? label->heightForWidth(c->width()) <= c->height()
                                                     : c->sizeHint().width() <= c->width();
        EXPECT_TRUE(fits) << c->objectName().toStdString() << ": " << c->sizeHint().width() << " wide, " << c->width()
                          << " given";
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, EveryWindow, ::testing::ValuesIn(kWindows),
                         [](const auto& info) { return std::string(info.param.name); });

// The names a person reading the windows would use, where the table alone does not say them.
TEST(AccessibleNames, AsAPersonReadingTheWindowWouldSayThem) {
    ui::FormWindow form1(ui::form1Layout()), sample(uitest::kSampleLayout), anexos(ui::anexosLayout()),
        documento(ui::frmDocumentLayout());
    // Descriptions: nullptr when not checked; "" for none (the label alone tells the control).
    const struct {
        ui::FormWindow& w;
        const char* control;
        int index;
        const char *name, *description;
    } cases[] = {
        {form1, "MaskEdBox1", -1, "RFC", ""},
        {form1, "txtTelefonoR2", -1, "Teléfono", "Datos del Representante legal"},
        {form1, "Command1", 2, "Generar disco  para Quentaria", "Generar disco  para Quentaria"},
        {form1, "dbgplantas", -1, "II Domicilio de Plantas", nullptr},  // no caption: its tab page
        {anexos, "grdMercyProd", 0, "S E C T O R E S", nullptr},
        {anexos, "dbgProdAbas", -1, "REGISTRO DE PRODUCTOR INDIRECTO", nullptr},  // no caption: its legend
        {anexos, "List2", -1, "SECTOR", "BIENES A IMPORTAR"},                     // the column it serves
        {documento, "Command1", -1, "Imprimir", nullptr},  // a caption without its mnemonic's marker
        {sample, "TipoProg", -1, "Tipo Prog", nullptr},    // hidden, no label: its name in words
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        QWidget* control = c.w.control(QString::fromUtf8(c.control), c.index);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(accessible(control), QString::fromUtf8(c.name));
        if (c.description) {
            EXPECT_EQ(accessible(control, QAccessible::Description), QString::fromUtf8(c.description));
        }
    }
}

}  // namespace
