#include "questionnaire/documento.h"

#include <QPushButton>
#include <QResizeEvent>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <algorithm>

#include "store/dbf.h"
#include "ui/layouts/documento.h"
#include "ui/printing.h"
#include "ui/richtext.h"

namespace questionnaire {

namespace {

// The horizontal offset of the buttons in the resize rule, in twips: the
// window reports none, so they sit 4560 and 5880 twips from its left edge.
constexpr int kOffsetX = 0;

}  // namespace

frmDocument::frmDocument(const ui::MainWindow& main, Sources sources, QString considerationsPath, QWidget* parent)
    : ui::FormWindow(ui::frmDocumentLayout(), parent),
      rtfText(require<QTextEdit>("rtfText")),
      RTUltima(require<QTextEdit>("RTUltima")),
      CONSIDERA(require<QTextEdit>("CONSIDERA")),
      Command1(require<QPushButton>("Command1")),
      Command2(require<QPushButton>("Command2")),
      main_(main),
      sources_(sources),
      considerationsPath_(std::move(considerationsPath)) {
    setWindowFlag(Qt::Window);

    QTextEdit* shown = RTUltima;
    QFont f = shown->font();
    f.setPointSizeF(ui::kRTUltimaPointSize);
    shown->setFont(f);
    // What is shown is never what is printed (a print rebuilds the text), so
    // an edit here would be lost without a word: the box is for reading.
    shown->setReadOnly(true);
    shown->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    shown->setTabChangesFocus(true);
    shown->setLineWrapMode(QTextEdit::FixedPixelWidth);

    connect(Command1, &QPushButton::clicked, this, &frmDocument::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmDocument::Command2_Click);

    Form_Load();
}

void frmDocument::Form_Load() {
    // The layout cannot fail: the resize rule never computes a negative size.
    Form_Resize();
    PrimeraVez = 1;
    printQuestionnaire();
    // A build that failed while loading leaves RTUltima empty; "Imprimir"
    // must still print on its first press, not display.
    PrimeraVez = 0;
}

void frmDocument::Command1_Click() { printQuestionnaire(); }

void frmDocument::Command2_Click() { close(); }

void frmDocument::centreTitle(int titleLength) {
    QTextCursor c(rtfText->document());
    c.setPosition(0);
    c.setPosition(std::clamp(titleLength, 0, rtfText->document()->characterCount() - 1), QTextCursor::KeepAnchor);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.mergeBlockFormat(centred);
    rtfText->setTextCursor(c);
}

frmDocument::Printed frmDocument::printQuestionnaire() {
    // The builder absorbs an empty record set; any other error of the data
    // engine ends the operation before anything is shown or printed, so a
    // half-built questionnaire never reaches the printer.
    Input input;
    input.main = main_.state();
    Questionnaire q;
    try {
        q = ArmaCuestionario(input, sources_);
    } catch (const store::StoreError&) {
        return Printed::Nothing;
    }
    rtfText->setPlainText(q.text);
    centreTitle(q.titleLength);

    if (PrimeraVez == 1) {
        RTUltima->setPlainText(q.text);
        PrimeraVez = 0;
        return Printed::Shown;
    }

    QTextCursor all(rtfText->document());
    all.select(QTextCursor::Document);
    rtfText->setTextCursor(all);
    auto printer = ui::choosePrinter(this, rtfText->textCursor().hasSelection());
    if (!printer || !printer->print(*rtfText))
        return Printed::Nothing;
    if (!ui::loadTextFile(*CONSIDERA, considerationsPath_))
        return Printed::Questionnaire;
    QTextCursor none = CONSIDERA->textCursor();
    none.clearSelection();
    CONSIDERA->setTextCursor(none);
    return printer->print(*CONSIDERA) ? Printed::Everything : Printed::Questionnaire;
}

void frmDocument::Form_Resize() {
    // The rule is in twips; sizes that the window's size would make negative
    // (a window smaller than the margins) stay at 0.
    const int w = width();
    const int h = height();
    QTextEdit* shown = RTUltima;
    shown->setGeometry(twipsToPixelsX(100), twipsToPixelsY(100), std::max(0, w - twipsToPixelsX(200)),
                       std::max(0, h - twipsToPixelsY(1000)));
    shown->setLineWrapColumnOrWidth(std::max(0, shown->width() - twipsToPixelsX(400)));
    const int top = std::max(0, h - twipsToPixelsY(700));
    Command1->move(twipsToPixelsX(kOffsetX + 4560), top);
    Command2->move(twipsToPixelsX(kOffsetX + 5880), top);
}

void frmDocument::resizeEvent(QResizeEvent* e) {
    ui::FormWindow::resizeEvent(e);
    Form_Resize();
}

}  // namespace questionnaire
