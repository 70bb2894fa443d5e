// Form1: the RFC box's check, its text-changed rule and its blank key.
#include <QLineEdit>

#include "capture/checks.h"
#include "capture/form1.h"
#include "ui/maskededit.h"
#include "ui/messagebox.h"

namespace capture {

void Form1::ValidaRFC() {
    // The message boxes take the focus from the window; that must not start
    // the check again.
    rfcChecking_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{rfcChecking_};

    const RfcResult r = validaRfc(MaskEdBox1->maskedText());
    RFCValido = r.valid;
    for (const Message& m : r.messages)
        ui::message(this, m.text, m.title, m.critical ? ui::Icon::Critical : ui::Icon::None);
    // Putting the focus back from inside the focus-lost handler would recurse.
    if (r.refocus)
        focusLater(MaskEdBox1);
    if (r.callsHabilita)
        Habilita(r.valid);
}

void Form1::rfcTextChanged() {
    for (QLineEdit* personName : {txtnombre1, txtApemat1})
        personName->setEnabled(true);
    if (rfcIsCompany(MaskEdBox1->maskedText())) {
        for (QLineEdit* personName : {txtnombre1, txtApemat1}) {
            personName->setEnabled(false);
            personName->clear();
        }
    }
}

}  // namespace capture
