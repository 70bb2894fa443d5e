// The one way the program prints. Production shows the print dialog and
// prints to the printer chosen there; tests install ScriptedPrinting, which
// answers the dialog from a queue and records what each printer was given.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <vector>

class QPrinter;
class QPainter;
class QTextDocument;
class QTextEdit;
class QWidget;

namespace ui {

// A printer chosen in the print dialog. Everything printed to one printer is
// one job, each document starting on a new page; the job ends when the
// object is destroyed.
class Printer {
public:
    virtual ~Printer() = default;
    // Prints the whole document. False when the printer refused it.
    virtual bool print(const QTextDocument& document) = 0;
    // Prints the box's selection, or its whole content when nothing is selected.
    bool print(const QTextEdit& box);
};

class PrintService {
public:
    virtual ~PrintService() = default;
    // Shows the print dialog, without page numbers to choose; `selection`
    // offers the selection as what to print. nullptr when cancelled.
    virtual std::unique_ptr<Printer> choosePrinter(QWidget* parent, bool selection) = 0;

    static PrintService& instance();
    // Replaces the service (tests); returns the previous one. nullptr puts
    // back the production service.
    static std::unique_ptr<PrintService> install(std::unique_ptr<PrintService> service);
};

// Shorthand for PrintService::instance().choosePrinter(...).
std::unique_ptr<Printer> choosePrinter(QWidget* parent, bool selection);

// A printer as the print dialog first offers it: high resolution, margins of
// 20 mm, no page numbers to choose.
std::unique_ptr<QPrinter> newPrinter();

// Printing to a QPrinter: the production path, and a PDF file.
// Pages are laid out on the printer's paint rectangle without page numbers.
class QtPrinter : public Printer {
public:
    explicit QtPrinter(std::unique_ptr<QPrinter> printer);
    ~QtPrinter() override;
    bool print(const QTextDocument& document) override;
    using Printer::print;
    QPrinter& printer() { return *printer_; }
    // Ends the job now (the destructor does it otherwise). False when the
    // printer could not finish it.
    bool finish();

private:
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
};

enum class PrintAnswer { Print, Cancel };

// The scripted service of the tests.
class ScriptedPrinting : public PrintService {
public:
    std::unique_ptr<Printer> choosePrinter(QWidget* parent, bool selection) override;

    // The answer to the next dialog. A dialog with nothing queued is counted
    // in unexpected() and cancelled.
    void queue(PrintAnswer a) { answers_.push_back(a); }
    int unexpected() const { return unexpected_; }

    struct Dialog {
        bool selectionOffered;
        bool cancelled;
    };
    const std::vector<Dialog>& dialogs() const { return dialogs_; }
    // Per printer chosen (in the order of the dialogs that were not
    // cancelled), the plain text of each document printed to it, in order.
    std::vector<QStringList> printed() const;

private:
    std::deque<PrintAnswer> answers_;
    std::vector<Dialog> dialogs_;
    std::vector<std::shared_ptr<QStringList>> devices_;
    int unexpected_ = 0;
};

}  // namespace ui
