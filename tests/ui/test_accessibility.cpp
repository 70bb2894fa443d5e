// Every control of every window built from a layout table is named for
// screen readers from that table, and the focus chain follows its tab places.
#include <gtest/gtest.h>

#include <QAccessible>
#include <map>
#include <set>

#include "ui/formwindow.h"
#include "ui/layouts/form1.h"

namespace {

using ui::Kind;

QString text(const char* s) { return s ? QString::fromUtf8(s) : QString(); }

QString accessible(QWidget* w, QAccessible::Text t = QAccessible::Name) {
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
    return i ? i->text(t) : QString();
}

bool takesInput(Kind k) {
    return k == Kind::TextBox || k == Kind::MaskedEdit || k == Kind::ComboBox || k == Kind::ListBox
           || k == Kind::RichText;
}

struct WindowCase {
    const char* name;
    const ui::WindowLayout& (*layout)();
};

// Two fields with the same label inside one frame: the frame alone cannot
// tell them apart.
const ui::ControlSpec kSameFrame[] = {
    {.name = "Frame1", .kind = Kind::Frame, .caption = "Contacto", .width = 5000, .height = 1500},
    {.name = "lblFax1", .kind = Kind::Label, .caption = "Fax", .container = "Frame1"},
    {.name = "txtFaxOficina", .kind = Kind::TextBox, .label = "lblFax1", .tab = 1, .container = "Frame1"},
    {.name = "lblFax2", .kind = Kind::Label, .caption = "Fax", .container = "Frame1"},
    {.name = "txtFaxPlanta", .kind = Kind::TextBox, .label = "lblFax2", .tab = 2, .container = "Frame1"},
};
const ui::WindowLayout kSameFrameLayout = {"frmDuplicados", "Duplicados", 6000, 2000, kSameFrame,
                                           int(std::size(kSameFrame))};
const ui::WindowLayout& sameFrameLayout() { return kSameFrameLayout; }

const WindowCase kWindows[] = {
    {"Form1", ui::form1Layout},
    {"SameLabelsInOneFrame", sameFrameLayout},
};

class EveryWindow : public ::testing::TestWithParam<WindowCase> {};

TEST_P(EveryWindow, EveryControlIsNamedFromItsTable) {
    const ui::WindowLayout& layout = GetParam().layout();
    ui::FormWindow w(layout);
    std::map<QString, std::set<QString>> descriptionsByName;  // inputs sharing a name
    std::map<QString, int> sharing;
    for (QWidget* c : w.controls()) {
        const ui::ControlSpec& s = *w.spec(c);
        const QString who = text(s.name) + (s.index >= 0 ? QStringLiteral("(%1)").arg(s.index) : QString());
        const QString name = accessible(c);
        if (takesInput(s.kind) || s.kind == Kind::Grid) {
            EXPECT_FALSE(name.trimmed().isEmpty()) << who.toStdString();
        }
        if (takesInput(s.kind)) {
            if (s.label) {
                const ui::ControlSpec* label = w.spec(w.control(text(s.label)));
                ASSERT_NE(label, nullptr) << who.toStdString() << " names a label that is not there";
                EXPECT_EQ(name, text(label->caption)) << who.toStdString();
            }
            ++sharing[name];
            descriptionsByName[name].insert(accessible(c, QAccessible::Description));
        }
        switch (s.kind) {
        case Kind::PictureButton:
            EXPECT_EQ(name, text(s.toolTip)) << who.toStdString();
            EXPECT_EQ(accessible(c, QAccessible::Description), text(s.toolTip)) << who.toStdString();
            break;
        case Kind::CheckBox:
        case Kind::Frame:
        case Kind::TabPage:
        case Kind::Button:
            EXPECT_EQ(name, text(s.caption)) << who.toStdString();
            break;
        default:
            break;
        }
    }
    // Controls that share a label are told apart by their descriptions.
    for (const auto& [name, count] : sharing)
        if (count > 1) {
            EXPECT_EQ(int(descriptionsByName[name].size()), count) << name.toStdString();
        }
}

TEST_P(EveryWindow, FocusChainFollowsTheTabPlaces) {
    ui::FormWindow w(GetParam().layout());
    std::vector<int> places;
    QWidget* start = nullptr;
    for (QWidget* c : w.controls())
        if (w.tabPlace(c) >= 0 && (c->focusPolicy() & Qt::TabFocus)
            && (!start || w.tabPlace(c) < w.tabPlace(start)))
            start = c;
    ASSERT_NE(start, nullptr);
    QWidget* p = start;
    do {
        if (w.tabPlace(p) >= 0 && (p->focusPolicy() & Qt::TabFocus))
            places.push_back(w.tabPlace(p));
        p = p->nextInFocusChain();
    } while (p && p != start);
    EXPECT_TRUE(std::is_sorted(places.begin(), places.end()));
    std::size_t focusable = 0;
    for (QWidget* c : w.controls())
        focusable += w.tabPlace(c) >= 0 && (c->focusPolicy() & Qt::TabFocus);
    EXPECT_EQ(places.size(), focusable);
}

INSTANTIATE_TEST_SUITE_P(Windows, EveryWindow, ::testing::ValuesIn(kWindows),
                         [](const auto& info) { return std::string(info.param.name); });

// The names the accessibility issue quotes for the main window.
TEST(Form1Names, AsAPersonReadingTheWindowWouldSayThem) {
    ui::FormWindow w(ui::form1Layout());
    struct Case {
        const char* control;
        int index;
        const char* name;
        const char* description;
    };
    const Case cases[] = {
        {"MaskEdBox1", -1, "RFC", nullptr},
        {"txtApePat1", -1, "Razón  Social:", nullptr},
        {"txtCalle", -1, "Calle y No.", nullptr},
        {"txtTelefonoR2", -1, "Teléfono", "Datos del Representante legal"},
        {"txtTelefono", -1, "Teléfono", "Domicilio Fiscal"},
        {"Command1", 1, "Grabar datos", "Grabar datos"},
        {"Command1", 2, "Generar disco  para Quentaria", "Generar disco  para Quentaria"},
        {"dbgplantas", -1, "II Domicilio de Plantas", nullptr},
        {"chkProdFinal", -1, "Productor Directo", nullptr},
        {"Frame3", -1, "Datos del Representante legal", nullptr},
    };
    for (const Case& c : cases) {
        QWidget* control = w.control(QString::fromUtf8(c.control), c.index);
        ASSERT_NE(control, nullptr) << c.control;
        EXPECT_EQ(accessible(control), QString::fromUtf8(c.name)) << c.control;
        if (c.description) {
            EXPECT_EQ(accessible(control, QAccessible::Description), QString::fromUtf8(c.description)) << c.control;
        }
    }
}

} // namespace
