#include "ui/printing.h"

#include <QAbstractTextDocumentLayout>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>

namespace ui {

bool Printer::print(const QTextEdit& box) {
    const QTextCursor c = box.textCursor();
    const QTextDocument& whole = *box.document();
    // A selection of everything prints the document itself, paragraph
    // formats (the centred title) included.
    if (!c.hasSelection() || (c.selectionStart() == 0 && c.selectionEnd() >= whole.characterCount() - 1))
        return print(whole);
    QTextDocument part;
    part.setDefaultFont(whole.defaultFont());
    QTextCursor(&part).insertFragment(c.selection());
    return print(part);
}

QtPrinter::QtPrinter(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {}

QtPrinter::~QtPrinter() { finish(); }

bool QtPrinter::finish() {
    if (!painter_)
        return true;
    const bool ok = painter_->end();
    painter_.reset();
    return ok;
}

bool QtPrinter::print(const QTextDocument& document) {
    // One painter for the whole job, so that every document goes to the same
    // output (a PDF file would otherwise be written over by the next one).
    if (!painter_) {
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(printer_.get())) {
            painter_.reset();
            return false;
        }
    } else if (!printer_->newPage()) {
        return false;
    }
    // Laid out for the printer's resolution on pages of its paint rectangle;
    // a document given a page size gets no page numbers.
    std::unique_ptr<QTextDocument> copy(document.clone());
    copy->documentLayout()->setPaintDevice(printer_.get());
    const QSizeF body = printer_->pageLayout().paintRectPixels(printer_->resolution()).size();
    copy->setPageSize(body);
    const int pages = copy->pageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !printer_->newPage())
            return false;
        const QRectF clip(0, page * body.height(), body.width(), body.height());
        painter_->save();
        painter_->translate(0, -clip.top());
        copy->drawContents(painter_.get(), clip);
        painter_->restore();
    }
    return true;
}

namespace {

// Qt's own (non-native) dialog offers pages from-to whenever the print system
// could pick pages itself, whatever the options say, and enables them again
// when it is shown or another printer is chosen. What is printed here is the
// selection or everything, so those choices are kept greyed. The native
// Windows dialog has none of these widgets; the options alone grey its range.
class PageRangeOff : public QObject {
public:
    explicit PageRangeOff(QPrintDialog& dialog) : QObject(&dialog) {
        for (const char* name : {"printRange", "from", "to", "pagesRadioButton", "pagesLineEdit"})
            if (auto* w = dialog.findChild<QWidget*>(QString::fromLatin1(name))) {
                w->setEnabled(false);
                w->installEventFilter(this);
            }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange) {
            auto* w = static_cast<QWidget*>(watched);
            if (w->isEnabled())
                w->setEnabled(false);
        }
        return false;
    }
};

class QtPrintService : public PrintService {
public:
    std::unique_ptr<Printer> choosePrinter(QWidget* parent, bool selection) override {
        auto printer = newPrinter();
        if (selection)
            printer->setPrintRange(QPrinter::Selection);
        QPrintDialog dialog(printer.get(), parent);
        // No page range: what is printed is the selection or everything.
        QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintToFile
                                                           | QAbstractPrintDialog::PrintShowPageSize
                                                           | QAbstractPrintDialog::PrintCollateCopies;
        if (selection)
            options |= QAbstractPrintDialog::PrintSelection;
        dialog.setOptions(options);
        new PageRangeOff(dialog);
        if (dialog.exec() != QDialog::Accepted)
            return nullptr;
        return std::make_unique<QtPrinter>(std::move(printer));
    }
};

std::unique_ptr<PrintService>& current() {
    static std::unique_ptr<PrintService> service = std::make_unique<QtPrintService>();
    return service;
}

class RecordingPrinter : public Printer {
public:
    explicit RecordingPrinter(std::shared_ptr<QStringList> out) : out_(std::move(out)) {}
    bool print(const QTextDocument& document) override {
        out_->append(document.toPlainText());
        return true;
    }
    using Printer::print;

private:
    std::shared_ptr<QStringList> out_;
};

}  // namespace

std::unique_ptr<QPrinter> newPrinter() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    return printer;
}

PrintService& PrintService::instance() { return *current(); }

std::unique_ptr<PrintService> PrintService::install(std::unique_ptr<PrintService> service) {
    if (!service)
        service = std::make_unique<QtPrintService>();
    std::swap(current(), service);
    return service;
}

std::unique_ptr<Printer> choosePrinter(QWidget* parent, bool selection) {
    return PrintService::instance().choosePrinter(parent, selection);
}

std::unique_ptr<Printer> ScriptedPrinting::choosePrinter(QWidget*, bool selection) {
    PrintAnswer answer = PrintAnswer::Cancel;
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    } else {
        ++unexpected_;
    }
    dialogs_.push_back({selection, answer == PrintAnswer::Cancel});
    if (answer == PrintAnswer::Cancel)
        return nullptr;
    devices_.push_back(std::make_shared<QStringList>());
    return std::make_unique<RecordingPrinter>(devices_.back());
}

std::vector<QStringList> ScriptedPrinting::printed() const {
    std::vector<QStringList> out;
    for (const auto& d : devices_)
        out.push_back(*d);
    return out;
}

}  // namespace ui
