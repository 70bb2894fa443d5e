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

    QLabel* lblTitle() const;
    QLabel* lblVersion() const;
    QPushButton* cmdOK() const;

    void setVisible(bool visible) override;
};

} // namespace help
