#include "app/windows.h"

#include <QCoreApplication>
#include <QPointer>
#include <memory>

#include "annexes/anexos.h"
#include "app/programfiles.h"
#include "capture/form1.h"
#include "help/acercade.h"
#include "help/ayuda.h"
#include "questionnaire/documento.h"
#include "store/database.h"
#include "ui/modal.h"

namespace app {

namespace {

// A window that is not modal exists once: asked again while it is open, it
// only comes to the front.
std::function<void()> single(std::function<QWidget*()> make) {
    auto open = std::make_shared<QPointer<QWidget>>();
    return [open, make = std::move(make)] {
        if (!*open) {
            *open = make();
            (*open)->setAttribute(Qt::WA_DeleteOnClose);
        }
        (*open)->show();
        (*open)->raise();
        (*open)->activateWindow();
    };
}

// A modal window is made afresh each time and gone when closed.
void modal(QWidget* window) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    ui::showModal(window);
}

}  // namespace

void wireWindows(capture::Form1& form, store::Database& db) {
    capture::Form1* f = &form;
    store::Database* d = &db;
    form.windows.Anexos = [f, d] { modal(new annexes::Anexos(*d, *f, f)); };
    form.windows.frmAbout = [f] { modal(new help::frmAbout(f)); };
    form.windows.frmayuda = single([f]() -> QWidget* {
        return new help::frmayuda(QString::fromStdU16String(programFiles().considerations.u16string()), f);
    });
    form.windows.frmDocument = single([f, d]() -> QWidget* { return newDocument(*f, *d); });
}

questionnaire::frmDocument* newDocument(capture::Form1& form, store::Database& db) {
    const QString considera = QString::fromStdU16String((db.directory() / "considera.txt").u16string());
    return new questionnaire::frmDocument(
        form, questionnaire::Sources{form.dtsplantas, form.impsectro, form.mercancias, form.regprodind}, considera,
        &form);
}

}  // namespace app
