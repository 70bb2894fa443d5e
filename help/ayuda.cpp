#include "help/ayuda.h"

#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QResizeEvent>
#include <QTextEdit>
#include <algorithm>

#include "ui/layouts/ayuda.h"
#include "ui/messagebox.h"
#include "ui/richtext.h"

namespace help {

namespace {

// Margins of the resize rule, in twips.
constexpr int kMargin = 100;      // left and top of the text
constexpr int kBelowText = 1000;  // height taken from the window below the text's top margin
constexpr int kWrapInset = 400;   // the text wraps this far inside the box's width
constexpr int kButtonLeft = 5880;
constexpr int kButtonAboveBottom = 700;

}  // namespace

frmayuda::frmayuda(QString path, QWidget* parent)
    : ui::FormWindow(ui::frmayudaLayout(), parent),
      RTUltima(require<QTextEdit>("RTUltima")),
      Command2(require<QPushButton>("Command2")) {
    if (parent)
        setWindowFlag(Qt::Window);  // its own window beside the main one, not a child of it
    connect(Command2, &QPushButton::clicked, this, &QWidget::close);
    // Nothing typed there would ever be saved, so the text is for reading:
    // moved through and selected from the keyboard, left with Tab.
    QTextEdit* box = RTUltima;
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    box->setTabChangesFocus(true);

    Form_Resize();
    QString error;
    if (!ui::loadTextFile(*RTUltima, path, &error))
        ui::message(this, error);
}

QString frmayuda::considerationsPath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("considera.txt"));
}

void frmayuda::Form_Resize() {
    const int w = width() * 1440 / logicalDpiX();  // the inner area in twips
    const int h = height() * 1440 / logicalDpiY();
    // A window smaller than the margins gives an empty box, never a negative size.
    const int boxWidth = std::max(0, w - 2 * kMargin);
    const int boxHeight = std::max(0, h - kBelowText);
    QTextEdit* box = RTUltima;
    box->setGeometry(twipsToPixelsX(kMargin), twipsToPixelsY(kMargin), twipsToPixelsX(boxWidth),
                     twipsToPixelsY(boxHeight));
    const int wrap = boxWidth - kWrapInset;
    if (wrap > 0) {
        box->setLineWrapMode(QTextEdit::FixedPixelWidth);
        box->setLineWrapColumnOrWidth(twipsToPixelsX(wrap));
    } else {
        box->setLineWrapMode(QTextEdit::WidgetWidth);  // no room for the inset: wrap at the box's edge
    }
    Command2->move(twipsToPixelsX(kButtonLeft), twipsToPixelsY(std::max(0, h - kButtonAboveBottom)));
}

void frmayuda::resizeEvent(QResizeEvent* e) {
    ui::FormWindow::resizeEvent(e);
    Form_Resize();
}

}  // namespace help
