// The help window: the general considerations for filling in the
// application, read from considera.txt in the program's own directory.
#pragma once

#include <QString>

#include "ui/formwindow.h"

class QPushButton;
class QTextEdit;

namespace help {

class frmayuda : public ui::FormWindow {
    Q_OBJECT
public:
    // Lays the window out, then loads `path` into RTUltima; a file that
    // cannot be read is reported in a message box and the window stays open
    // with an empty box. The window does not delete itself when closed: an
    // opener that keeps no object sets Qt::WA_DeleteOnClose.
    explicit frmayuda(QString path = considerationsPath(), QWidget* parent = nullptr);

    // <the program's own directory>/considera.txt
    static QString considerationsPath();

    // The controls, found once when the window is built.
    QTextEdit* const RTUltima;
    QPushButton* const Command2;

    // The resize rule: the text fills the window but for its margins, the
    // button keeps its place above the bottom edge.
    void Form_Resize();

protected:
    void resizeEvent(QResizeEvent* e) override;
};

}  // namespace help
