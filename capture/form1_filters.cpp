// Form1: the key rules of the window and of its fields, and the programme
// number's rule on leaving it.
#include <QLineEdit>

#include "capture/checks.h"
#include "capture/form1.h"
#include "ui/keys.h"
#include "ui/maskededit.h"

namespace capture {

void Form1::setupKeyFilters() {
    keys_->setWindowFilter(ui::upperKey);
    for (QWidget* box : {txtEmail1, EMAILREP})
        keys_->setControlFilter(box, ui::lowerKey);
    keys_->setControlFilter(txtcargo, ui::upperKey);
    for (QWidget* box : std::initializer_list<QWidget*>{txtProg1, txtProg2, txtCP, txtTelefono, txtfax, txtTelefonoR2,
                                                        txtFaxR2, txtnummaquila, txtañomaquila})
        keys_->setControlFilter(box, SoloNumeros);

    // A blank reaches the box as it is and a Right arrow follows it, so the
    // caret moves past the position the blank left empty.
    QWidget* rfc = MaskEdBox1;
    keys_->setControlFilter(rfc, [rfc](int code) {
        if (code == ' ')
            ui::queueKey(rfc, Qt::Key_Right);
        return code;
    });
}

void Form1::leaveProg2() {
    QLineEdit* prog2 = txtProg2;
    const QString back = prog2OnLeave(prog2->text());
    if (back.isNull())
        return;
    prog2->setText(back);
    focusLater(prog2);
}

}  // namespace capture
