// The window from the keyboard: an application saved without a mouse, the RFC box's check, the plants grid.
#include "form1_fixture.h"

namespace form1test {
namespace {

using namespace texts;
QWidget* focused() { return QApplication::focusWidget(); }

// Tab, Ctrl+Tab and Space from the RFC box to "Grabar datos"; each field's key rule shapes what is saved.
TEST_F(Form1Test, ApplicationFilledAndSavedWithoutAMouse) {
    auto tabTo = [this](const char* name, int index = -1) {  // at most a full round
        QWidget* target = w(name, index);
        for (int i = 0; i < 60 && focused() != target; ++i)
            key(Qt::Key_Tab);
        ASSERT_EQ(focused(), target) << name;
    };
    open();
    ASSERT_EQ(focused(), form_->MaskEdBox1) << "a new application begins with the RFC";
    typeHere(QStringLiteral(" abc850101xy1"));
    EXPECT_FALSE(w("txtCalle")->isEnabled() || w("dbgplantas")->isEnabled());  // locked until the RFC passes
    key(Qt::Key_Tab);  // leaving the box checks the RFC and unlocks the window
    EXPECT_TRUE(form_->RFCValido);
    for (const auto& [name, text] : {std::pair{"txtEmail1", "Ventas@Empresa.COM"},
                                     {"txtCalle", "Av. Niño Héroe 10"},
                                     {"txtColonia", "Centro"},
                                     {"txtCP", "0 6-6a00"}})
        tabTo(name), typeHere(QString::fromUtf8(text));
    tabTo("Combo5");
    key(Qt::Key_Down);  // the first office
    tabTo("txtTelefono");
    typeHere(QStringLiteral("5555"));
    key(Qt::Key_Tab, Qt::ControlModifier);
    key(Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(form_->SSTab1->currentIndex(), 2);
    tabTo("chkProdFinal");
    key(Qt::Key_Space);
    tabTo("txtNombreR2");
    typeHere(QStringLiteral("Ana"));
    tabTo("Command1", 1);  // "Grabar datos"
    key(Qt::Key_Space);
    EXPECT_TRUE(boxes_->shown().empty()) << boxes_->texts().join('|').toStdString();
    const auto saved = rows("datoprov");
    ASSERT_EQ(saved.size(), 1u);
    const auto t = store::DbfTable::open(dir_ / "datoprov.dbf");
    std::string fields;
    for (const char* name : {"RFC", "CP", "EMAIL", "CALLEYNO", "NOMBREREPL", "TIPOPROG", "CVEADMLOC"})
        fields += saved[0][std::size_t(t->fieldIndex(name))].toString() + "|";
    EXPECT_EQ(fields, " ABC850101XY1|06600|ventas@empresa.com|AV. NIÑO HÉROE 10|ANA|1|10|");
}

// A window taking the activation is not the operator leaving the RFC box: no second check, the focus stays.
TEST_F(Form1Test, ABoxTakingTheActivationDoesNotCheckAgain) {
    struct Stealing : ui::ScriptedMessageBoxes {
        ui::Answer show(QWidget* p, const QString& t, const QString& ti, ui::Icon i, ui::Buttons b) override {
            QWidget popup;
            popup.show();
            popup.activateWindow();
            (void)QTest::qWaitForWindowActive(&popup);
            popup.close();
            QApplication::processEvents();
            return ScriptedMessageBoxes::show(p, t, ti, i, b);
        }
    };
    auto owned = std::make_unique<Stealing>();
    Stealing* boxes = owned.get();
    auto scripted = ui::MessageBoxService::install(std::move(owned));
    open();
    focus(w("MaskEdBox1")), typeHere(QStringLiteral("ABCD851301XY1"));
    focus(w("txtApePat1"));
    for (int round = 0; round < 2; ++round) {  // then another window takes the activation
        QWidget other;
        if (round) {
            other.show();
            other.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&other));
        }
        settle();
        form_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get()));
        settle();
        EXPECT_EQ(boxes->texts(), (QStringList{kFirst, kMonth}));
        EXPECT_EQ(focused(), w("MaskEdBox1"));
    }
    ui::MessageBoxService::install(std::move(scripted));
}

TEST_F(Form1Test, LeavingTheRfcBoxRunsTheCheck) {
    enum class Hab { NotCalled, True, False };
    // The text, key by key (a blank is the space key) unless pasted past the key rules; the messages, Habilita.
    const std::tuple<QString, bool, QStringList, Hab> cases[] = {
        // The length fault hides every other and does not run Habilita.
        {QString(), false, {kLen}, Hab::NotCalled},
        {"Xab991399xy  ", true, {kLen}, Hab::NotCalled},
        {" abc850101xy1", false, {}, Hab::True},
        {" ABC991231005", true, {}, Hab::True},         // month 12 and day 31 are the bounds
        {" AB1000000XY0", true, {}, Hab::True},         // month and day 00; a digit at 4
        {" &&A01 101XYA", true, {}, Hab::True},         // & counts as a letter; blanks read 0
        {" ABc010101XYAZZ", true, {}, Hab::True},       // 13 positions; 4 is not examined
        {"A1bD010101XYA", true, {kFirst}, Hab::False},  // no blank skips the letter rule
        {"XabC011332XYa", true, {kFirst, kMonth, kDay, kLast}, Hab::False},
        {" ab1010101XYA", true, {kL2}, Hab::False},  // 2 hides 3
        {" AbC010101XYA", true, {kL3}, Hab::False},
        {" ÑBC010101XYA", true, {kL2}, Hab::False},
        {" A1C851332XYZ", false, {kL3, kMonth, kDay, kLast}, Hab::False},  // every rule after a letter fault
    };
    for (const auto& [typed, pasted, messages, habilita] : cases) {
        SCOPED_TRACE(typed.toStdString());
        restart();
        auto* rfc = form_->MaskEdBox1;
        // A mixed band tells the outcomes apart: Habilita switches both boxes, no call leaves them.
        QWidget *calle = w("txtCalle"), *colonia = w("txtColonia"), *next = w("txtApePat1");
        calle->setEnabled(true), colonia->setEnabled(false);
        if (pasted) {
            focus(rfc), setRfc(typed);
        } else {
            focus(rfc), typeHere(typed);  // a blank first moves on, so the next key lands in position 2
            EXPECT_EQ(rfc->maskedText(), typed.toUpper().leftJustified(13, QLatin1Char(' ')));
        }
        boxes_->clear();
        focus(next);
        EXPECT_EQ(boxes_->texts(), messages);
        for (const ui::ShownBox& b : boxes_->shown())
            EXPECT_TRUE(b.title == ui::applicationTitle() && b.icon == ui::Icon::None && b.buttons == ui::Buttons::Ok);
        EXPECT_EQ(form_->RFCValido, messages.isEmpty());
        EXPECT_EQ(calle->isEnabled(), habilita != Hab::False);
        // The band is tab places 8 to 34, the first five buttons included; 35 on stay as they were.
        for (QWidget* x : {colonia, w("Combo5"), w("dbgplantas"), w("chkProdFinal"), w("txtApePatR2"), w("Command2"),
                           w("Command1", 0), w("Command1", 3), w("Command1", 4)})
            EXPECT_EQ(x->isEnabled(), habilita == Hab::True) << x->objectName().toStdString();
        EXPECT_FALSE(w("Command1", 5)->isEnabled());
        // After a fault the operator is back in the box; otherwise the focus stays where it went.
        EXPECT_EQ(focused(), messages.isEmpty() ? next : static_cast<QWidget*>(rfc));
    }
    // A change of text: a letter first opens the person-name fields, a blank empties and locks them.
    setRfc(QStringLiteral("PEGJ800101AB1"));
    EXPECT_TRUE(edit("txtnombre1")->isEnabled());
    edit("txtnombre1")->setText(QStringLiteral("JUAN")), setRfc(QStringLiteral(" ABC850101XY1"));
    EXPECT_TRUE(!edit("txtnombre1")->isEnabled() && edit("txtnombre1")->text().isEmpty());
    setRfc(QStringLiteral("PEGJ800101AB1")), setRfc(QString());  // an empty RFC counts as a company's
    EXPECT_FALSE(edit("txtnombre1")->isEnabled());
}

const QString kCpMessage = QStringLiteral("El Codigo postal no puede ser mayor a 5 digitos");

// The plants grid, one plant already there: the add line is row 1.
class PlantsTest : public Form1Test {
protected:
    void SetUp() override {
        Form1Test::SetUp();
        writeDatoprov(filledRecord());
        start();
    }
    // The window on a fresh catdirpl whose CP field is `cpWidth` wide (0: as
    // we create it), the cell pointer on the add line.
    void start(int cpWidth = 0) {
        close();
        auto fields = store::tableLayout("catdirpl").fields;
        if (cpWidth > 0)
            fields.at(1).length = cpWidth;
        std::filesystem::remove(dir_ / "catdirpl.dbf");
        store::DbfTable::create(dir_ / "catdirpl.dbf", fields);
        append("catdirpl", {{Value("PRIMERA 1"), Value("01000"), Value("SAN ANGEL"), Value("CDMX"),
                             Value("ALVARO OBREGON"), Value("MEXICO"), Value("5550"), Value("5551")}});
        open();
        form_->Habilita(true);
        form_->SSTab1->setCurrentIndex(1);
        grid_ = form_->dbgplantas;
        focus(grid_);
        grid_->setCurrentIndex(grid_->model()->index(1, 0));
        settle();
    }
    // Types each text into the next cells of the row, Tab between them.
    void typeRow(const QStringList& cells) {
        for (int i = 0; i < cells.size(); ++i) {
            if (i > 0)
                key(Qt::Key_Tab);
            typeHere(cells[i]);
        }
    }
    std::vector<store::Row> added() const {  // after the seeded row
        auto all = rows("catdirpl");
        return {all.begin() + 1, all.end()};
    }
    ui::DataGrid* grid_ = nullptr;
};

// Text columns take capitals, the others digits only; Enter moves on in text columns only, Tab elsewhere.
TEST_F(PlantsTest, NewRowLeftWithUpIsWrittenThroughTheCellRules) {
    typeRow({"av juarez 10", "06a6\r00", "centro"});
    key(Qt::Key_Return);
    ASSERT_EQ(grid_->currentColumn(), 3);
    typeRow({"peña", "cuauhtemoc", "mexico", "55-12a34"});
    key(Qt::Key_Return);
    ASSERT_EQ(grid_->currentColumn(), 6);
    EXPECT_TRUE(added().empty());  // nothing written while the row is not left
    key(Qt::Key_Tab);
    typeRow({"5b.678"});
    key(Qt::Key_Up);
    EXPECT_EQ(added(),
              (std::vector<store::Row>{{Value("AV JUAREZ 10"), Value("06600"), Value("CENTRO"), Value("PEÑA"),
                                        Value("CUAUHTEMOC"), Value("MEXICO"), Value("551234"), Value("5678")}}));
    EXPECT_TRUE(boxes_->shown().empty());
}

// Six postal digits are refused when the row is left from their column (or an older five-wide field cannot
// hold them); a seventh is never taken.
TEST_F(PlantsTest, SixPostalDigitsAreRefusedWhenTheRowIsLeftFromTheirColumn) {
    // The CP field's width (0: as we create it), the row left from the CP column; what is written.
    const std::tuple<int, bool, const char*> cases[] = {
        {0, true, nullptr}, {0, false, "123456"}, {5, true, nullptr}, {5, false, nullptr}};
    for (const auto& [width, fromCp, written] : cases) {
        SCOPED_TRACE(testing::Message() << "width " << width << (fromCp ? " from CP" : " from COLONIA"));
        boxes_->clear();
        start(width);
        typeRow(fromCp ? QStringList{"calle 1", "1234567"} : QStringList{"calle 1", "1234567", "centro"});
        EXPECT_EQ(grid_->columnText(1), QStringLiteral("123456"));
        key(Qt::Key_Down);
        if (written) {
            EXPECT_TRUE(boxes_->shown().empty());
            ASSERT_EQ(added().size(), 1u);
            EXPECT_EQ(added()[0].at(1).toString(), written);
            continue;
        }
        expectBox(kCpMessage, "Error", ui::Icon::Critical, ui::Buttons::Ok);
        EXPECT_TRUE(added().empty());
        EXPECT_EQ(std::make_pair(grid_->currentRow(), grid_->columnText(1)),
                  std::make_pair(1, QStringLiteral("123456")));
        if (!fromCp)
            continue;
        // Corrected, the row goes to the table, an older one included.
        key(Qt::Key_Backspace), key(Qt::Key_Down);
        ASSERT_EQ(added().size(), 1u);
        EXPECT_EQ(added()[0].at(1).toString(), "12345");
    }
}

}  // namespace
}  // namespace form1test
