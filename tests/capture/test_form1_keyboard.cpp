// An application filled in and saved from the keyboard alone: the focus starts
// in the RFC box, Tab follows the tab places, Ctrl+Tab turns the tab
// pages, Space ticks a box and presses "Grabar datos".
#include "form1_fixture.h"

namespace form1test {
namespace {

QWidget* focused() { return QApplication::focusWidget(); }

class KeyboardTest : public Form1Test {
protected:
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        ASSERT_NE(focused(), nullptr);
        QTest::keyClick(focused(), k, m);
        settle();
    }
    // Tab until the named control has the focus (at most a full round).
    void tabTo(const char* name, int index = -1) {
        QWidget* target = w(name, index);
        for (int i = 0; i < 60 && focused() != target; ++i) key(Qt::Key_Tab);
        ASSERT_EQ(focused(), target) << name;
    }
    void typeHere(const QString& text) {
        for (QChar ch : text) typeChar(focused(), ch);
    }
};

TEST_F(KeyboardTest, ApplicationFilledAndSavedWithoutAMouse) {
    open();
    ASSERT_EQ(focused(), form_->MaskEdBox1()) << "a new application begins with the RFC";
    typeHere(QStringLiteral(" abc850101xy1"));
    key(Qt::Key_Tab);  // leaving the box checks the RFC and unlocks the window
    EXPECT_TRUE(form_->RFCValido);
    EXPECT_TRUE(boxes_->shown().empty());

    const std::pair<const char*, QString> fiscal[] = {
        {"txtCalle", "Av. Reforma 10"}, {"txtColonia", "Centro"}, {"txtCP", "06000"}};
    for (const auto& [name, text] : fiscal) {
        tabTo(name);
        typeHere(text);
    }
    tabTo("Combo5");
    key(Qt::Key_Down);  // the first office
    tabTo("txtTelefono");
    typeHere(QStringLiteral("5555"));

    key(Qt::Key_Tab, Qt::ControlModifier);
    key(Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(form_->SSTab1()->currentIndex(), 2);
    tabTo("chkProdFinal");
    key(Qt::Key_Space);
    tabTo("txtNombreR2");
    typeHere(QStringLiteral("Ana"));

    tabTo("Command1", 1);  // "Grabar datos"
    key(Qt::Key_Space);
    EXPECT_TRUE(boxes_->shown().empty());

    const auto saved = rows("datoprov");
    ASSERT_EQ(saved.size(), 1u);
    auto field = [&](const char* name) {
        auto t = store::DbfTable::open(dir_ / "datoprov.dbf");
        return saved[0][static_cast<std::size_t>(t->fieldIndex(name))];
    };
    EXPECT_EQ(field("RFC"), Value(" ABC850101XY1"));
    EXPECT_EQ(field("CALLEYNO"), Value("AV. REFORMA 10"));
    EXPECT_EQ(field("CP"), Value("06000"));
    EXPECT_EQ(field("NOMBREREPL"), Value("ANA"));
    EXPECT_EQ(field("TIPOPROG"), Value(1));
    EXPECT_EQ(field("CVEADMLOC"), Value(10));
}

} // namespace
} // namespace form1test
