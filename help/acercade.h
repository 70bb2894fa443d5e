// The About box: the program's title and version, the issuing office and
// where to send questions.
#pragma once

#include "ui/formwindow.h"

class QLabel;
class QPushButton;

namespace help {

class frmAbout : public ui::FormWindow {
    Q_OBJECT
public:
    // A fixed dialog, centred on `parent` when shown. "OK" (Enter, Escape)
    // closes it; it does not delete itself.
    explicit frmAbout(QWidget* parent = nullptr);

    // The controls, found once when the window is built.
    QLabel* const lblTitle;
    QLabel* const lblVersion;
    QPushButton* const cmdOK;

    void setVisible(bool visible) override;
};

}  // namespace help
