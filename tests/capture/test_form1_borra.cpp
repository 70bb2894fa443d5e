// "Borrar toda la información" and "Borra Anexos" through their buttons: what
// each leaves in the five application tables, and the new application after.
#include "form1_fixture.h"

namespace form1test {
namespace {

const QString kTodo = QString::fromUtf8("Con esta Acción borrar toda su solicitud");
const QString kAnexos = QString::fromUtf8("Con esta Acción borrar todos los anexos");

// A good with its TIPO_PROGR, ANEXO and TIPOBIEN; FRACCION names it.
store::Row good(int tipoProgr, int anexo, int tipoBien, const char* fraccion) {
    store::Row r(13);
    r[0] = Value("I"), r[1] = Value(tipoProgr), r[2] = Value(fraccion), r[3] = Value(anexo), r[12] = Value(tipoBien);
    return r;
}

class BorraTest : public Form1Test {
protected:
    // A fresh set of the five tables, with an application and annexes if asked.
    void seed(bool application, bool annexes) {
        close();
        for (const char* t : {"datoprov", "catdirpl", "sector", "prodabas", "mercbi"})
            std::filesystem::remove(dir_ / (std::string(t) + ".dbf"));
        store::ensureDataDirectory(dir_);
        if (application) writeDatoprov(filledRecord());
        const std::pair<const char*, std::vector<store::Row>> tables[] = {
            {"catdirpl", {{Value("CALLE 1"), Value("01000")}, {Value("CALLE 2"), Value("02000")}}},
            {"sector", {{Value(1), Value("IIa")}, {Value(2), Value()}}},
            {"prodabas", {{Value(), Value("PRODUCTOR SA"), Value(" XYZ850101AB1")}}},
            // One good of each annex statement, and two that none selects.
            {"mercbi", {good(1, 1, 1, "11111111"), good(1, 1, 2, "22222222"), good(2, 2, 2, "33333333"),
                        good(2, 2, 1, "44444444"), good(1, 2, 2, "55555555")}}};
        for (const auto& [name, rs] : tables) {
            if (!annexes && std::string(name) != "catdirpl") continue;
            auto t = store::DbfTable::open(dir_ / (std::string(name) + ".dbf"));
            for (const auto& r : rs) t->append(r);
        }
    }
    // Live rows of datoprov, catdirpl, sector, prodabas, and the goods left.
    std::string tables() const {
        std::string s;
        for (const char* t : {"datoprov", "catdirpl", "sector", "prodabas"}) s += std::to_string(rows(t).size()) + " ";
        for (const auto& r : rows("mercbi")) s += r[2].toString() + " ";
        return s;
    }
};

TEST_F(BorraTest, WhatEachAnswerLeavesInTheTables) {
    const std::string all = "1 2 2 1 11111111 22222222 33333333 44444444 55555555 ";
    // answer: none when no question is expected.
    const struct { bool application, annexes; int button; std::optional<ui::Answer> answer; std::string left; } cases[] = {
        {false, true, 0, std::nullopt, "0 2 2 1 11111111 22222222 33333333 44444444 55555555 "},  // empty datoprov
        {true, true, 0, ui::Answer::No, all}, {true, true, 0, ui::Answer::Yes, "0 0 0 0 44444444 55555555 "},
        {true, true, 3, ui::Answer::No, all}, {true, true, 3, ui::Answer::Yes, "1 2 0 0 44444444 55555555 "},
        {true, false, 3, ui::Answer::Yes, "1 2 0 0 "},  // annexes already empty
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        seed(c.application, c.annexes);
        open();
        if (!c.application) setRfc(QStringLiteral(" ABC850101XY1")), form_->ValidaRFC();  // a new application opens
        boxes_->clear();
        if (c.answer) boxes_->queue(*c.answer);
        click(c.button);
        EXPECT_EQ(boxes_->texts(), c.answer ? QStringList{c.button == 0 ? kTodo : kAnexos} : QStringList{});
        for (const auto& b : boxes_->shown())
            EXPECT_TRUE(b.title == "ATENCION" && b.icon == ui::Icon::None && b.buttons == ui::Buttons::YesNo);
        EXPECT_EQ(boxes_->unexpected(), 0);
        EXPECT_EQ(tables(), c.left);
    }
    // Deleted rows are only marked: they leave the file when it is packed.
    EXPECT_EQ(store::DbfTable::open(dir_ / "catdirpl.dbf")->recordCount(), 2u);
}

TEST_F(BorraTest, AfterDeletingAllANewApplicationStarts) {
    seed(false, true);
    auto record = filledRecord();
    record["NUMMAQUILA"] = Value(123), record["ANOMAQUILA"] = Value(1999), record["TIPOPROG"] = Value(3);
    writeDatoprov(record);
    open();
    ASSERT_TRUE(form_->chkProdFinal()->isChecked() && form_->chkrodIndirecto()->isChecked());
    form_->Combo5()->setCurrentIndex(2);
    form_->SSTab1()->setCurrentIndex(2);
    w("Command1", 6)->setEnabled(false);
    boxes_->queue(ui::Answer::Yes);
    click(0);

    EXPECT_EQ(form_->MaskEdBox1()->maskedText(), QString(13, u' '));
    EXPECT_EQ(form_->MaskEdBox1()->mask(), QStringLiteral("&&&&999999aaa"));
    EXPECT_FALSE(form_->chkProdFinal()->isChecked() || form_->chkrodIndirecto()->isChecked());
    for (QComboBox* list : std::initializer_list<QComboBox*>{form_->Combo5(), form_->Combo1(), form_->cmbActividad()})
        EXPECT_EQ(list->currentIndex(), 0) << list->objectName().toStdString();
    for (const char* name : {"txtnummaquila", "txtañomaquila", "txtApePat1", "txtProg1"})
        EXPECT_TRUE(edit(name)->text().trimmed().isEmpty()) << name;
    EXPECT_TRUE(w("Command1", 6)->isEnabled());
    EXPECT_EQ(form_->SSTab1()->currentIndex(), 0);
    EXPECT_EQ(form_->dtsDatoProv.editMode(), store::EditMode::AddNew);
    EXPECT_TRUE(rows("datoprov").empty());

    setRfc(QStringLiteral(" NEW850101AB1"));  // the next save writes the new application
    form_->Command1_Click(1);
    const auto saved = rows("datoprov");
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(std::make_pair(saved[0][0].toString(), saved[0][20].toString()), std::make_pair(std::string(" NEW850101AB1"), std::string("14")));
    EXPECT_TRUE(boxes_->unexpected() == 0 && boxes_->texts() == QStringList{kTodo}) << boxes_->texts().join('|').toStdString();
}

} // namespace
} // namespace form1test
