#include "help/acercade.h"

#include <QLabel>
#include <QPushButton>

#include "ui/layouts/acercade.h"
#include "ui/messagebox.h"

namespace help {

frmAbout::frmAbout(QWidget* parent)
    : ui::FormWindow(ui::frmAboutLayout(), parent),
      lblTitle(require<QLabel>("lblTitle")),
      lblVersion(require<QLabel>("lblVersion")),
      cmdOK(require<QPushButton>("cmdOK")) {
    // Fixed border, no minimize or maximize button; a dialog with an owner
    // stays out of the task bar.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(size());
    connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);

    lblTitle->setText(ui::applicationTitle());
    lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                            .arg(ZELTAR_VERSION_MAJOR)
                            .arg(ZELTAR_VERSION_MINOR)
                            .arg(ZELTAR_VERSION_PATCH));
    cmdOK->setFocus();
}

void frmAbout::setVisible(bool visible) {
    if (visible && !isVisible()) {
        if (QWidget* owner = parentWidget()) {
            QRect r = geometry();
            r.moveCenter(owner->window()->geometry().center());
            setGeometry(r);  // the inner areas' centres meet; the frame is the platform's
        }
    }
    ui::FormWindow::setVisible(visible);
}

}  // namespace help
