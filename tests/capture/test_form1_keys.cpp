// The key rules of the main window wired to its fields: the rules themselves
// are in the checks' table; here one field of each wiring, typed for real.
#include "form1_fixture.h"

namespace form1test {
namespace {

TEST_F(Form1Test, TypedTextIsFilteredPerField) {
    writeDatoprov(filledRecord());  // Ampliación: the programme year and number are open
    open();
    form_->Habilita(true);
    const struct { const char* control; const char* typed; const char* shown; } cases[] = {
        {"txtCalle", "niño héroe 5", "NIÑO HÉROE 5"},  // the window's upper case
        {"txtEmail1", "Ventas@Empresa.COM", "ventas@empresa.com"},
        {"EMAILREP", "Juan.Perez@Mail.MX", "juan.perez@mail.mx"},
        {"txtcargo", "Director general", "DIRECTOR GENERAL"},
        {"txtProg1", "2a0-0 1", "2001"},
        {"txtCP", "0 6-6a00", "06600"},
        {"txtFaxR2", "9/8*7", "987"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        QLineEdit* box = edit(c.control);
        ASSERT_NE(box, nullptr);
        // Fields of the other tabs are reachable once their page is shown.
        for (int page = 0; page < form_->SSTab1()->count(); ++page)
            if (form_->SSTab1()->widget(page)->isAncestorOf(box)) form_->SSTab1()->setCurrentIndex(page);
        box->clear();
        type(box, QString::fromUtf8(c.typed));
        EXPECT_EQ(box->text(), QString::fromUtf8(c.shown));
    }
}

// txtProg2 left with a negative number (as a paste leaves it) gets "0" and the focus back.
TEST_F(Form1Test, NegativeProgrammeNumberBecomesZero) {
    writeDatoprov(filledRecord());
    open();
    QLineEdit* prog2 = edit("txtProg2");
    QWidget* next = w("txtApePat1");
    for (const char* text : {"12", "-5"}) {
        focus(prog2);
        prog2->setText(QString::fromUtf8(text));
        focus(next);
        settle();
        const bool negative = text[0] == '-';
        EXPECT_EQ(prog2->text(), negative ? QStringLiteral("0") : QString::fromUtf8(text));
        EXPECT_EQ(QApplication::focusWidget(), negative ? prog2 : next);
    }
    EXPECT_TRUE(boxes_->shown().empty());
}

} // namespace
} // namespace form1test
