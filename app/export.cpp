#include "app/export.h"

#include <QFontDatabase>
#include <QPrinter>
#include <QTextEdit>
#include <cstring>
#include <memory>

#include "app/windows.h"
#include "capture/form1.h"
#include "questionnaire/documento.h"
#include "store/database.h"
#include "store/platform/errors.h"
#include "store/platform/syncfile.h"
#include "ui/messagebox.h"
#include "ui/printing.h"

namespace app {

namespace {

namespace fs = std::filesystem;

QString shown(const fs::path& p) { return QString::fromStdU16String(p.u16string()); }

// Into a scratch file beside `to`, flushed, then renamed over it.
void writeFile(const fs::path& to, const QByteArray& bytes) {
    fs::path tmp = to;
    tmp += ".tmp";
    try {
        store::platform::SyncFile out(tmp, store::platform::SyncFile::Mode::CreateOrTruncate);
        out.writeAt(0, bytes.constData(), std::size_t(bytes.size()));
        out.sync();
        out.close();
        store::platform::replaceFile(tmp, to);
    } catch (...) {
        std::error_code ec;
        fs::remove(tmp, ec);
        throw;
    }
}

// The print dialog answered with a PDF file, whose job the caller ends.
class ToPdf : public ui::PrintService {
public:
    explicit ToPdf(const fs::path& file) : file_(shown(file)) {}
    std::unique_ptr<ui::Printer> choosePrinter(QWidget*, bool) override {
        auto printer = ui::newPrinter();
        printer->setOutputFormat(QPrinter::PdfFormat);  // whatever the file's name ends in
        printer->setOutputFileName(file_);
        printer_ = std::make_shared<ui::QtPrinter>(std::move(printer));
        return std::make_unique<Shared>(printer_);
    }
    // Ends the job; false when nothing was printed or the file could not be finished.
    bool finish() { return printer_ && printer_->finish(); }

private:
    struct Shared : ui::Printer {
        explicit Shared(std::shared_ptr<ui::QtPrinter> p) : p(std::move(p)) {}
        bool print(const QTextDocument& document) override { return p->print(document); }
        using Printer::print;
        std::shared_ptr<ui::QtPrinter> p;
    };
    QString file_;
    std::shared_ptr<ui::QtPrinter> printer_;
};

}  // namespace

bool asksForQuestionnaire(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--cuestionario") == 0 || std::strncmp(argv[i], "--cuestionario=", 15) == 0)
            return true;
    return false;
}

int writeQuestionnaire(const fs::path& dataDir, const QString& file, QStringList& messages) {
    std::error_code ec;
    if (!fs::is_directory(dataDir, ec)) {
        messages << QStringLiteral("No existe el directorio de datos %1.").arg(shown(dataDir));
        return 1;
    }
    // Without a font every letter of the PDF would be drawn as a blot: say so
    // rather than write it (the offscreen platform reads fonts from a folder on
    // Windows, which may be empty).
    if (QFontDatabase::families().isEmpty()) {
        const QString folder = qEnvironmentVariable("QT_QPA_FONTDIR");
        messages << (folder.isEmpty() ? QStringLiteral("No se encontró ningún tipo de letra")
                                      : QStringLiteral("No se encontró ningún tipo de letra en %1").arg(folder))
                        + QStringLiteral(": no se escribió el cuestionario.");
        return 1;
    }
    QString base = file;
    for (const char* end : {".txt", ".pdf"})
        if (base.endsWith(QLatin1String(end), Qt::CaseInsensitive))
            base.chop(4);
    const fs::path txt = (base + QStringLiteral(".txt")).toStdU16String();
    const fs::path pdf = (base + QStringLiteral(".pdf")).toStdU16String();

    // The windows are built but never shown; what they would say is reported.
    ui::CollectedMessages said;
    auto fail = [&](const QString& why) {
        messages << said.texts();
        if (!why.isEmpty())
            messages << why;
        return 1;
    };
    store::Database db(dataDir);
    capture::Form1 form(db);
    if (form.loadFailed())
        return fail({});
    questionnaire::frmDocument* doc = newDocument(form, db);
    const QString text = doc->RTUltima->toPlainText();
    if (text.isEmpty())
        return fail(QStringLiteral("No se pudo armar el cuestionario con las tablas de %1.").arg(shown(dataDir)));
    try {
        writeFile(txt, text.toUtf8());
    } catch (const std::exception& e) {
        return fail(QStringLiteral("No se puede escribir %1: %2")
                        .arg(shown(txt), QString::fromStdString(store::platform::errorText(e))));
    }

    fs::path scratch = pdf;
    scratch += ".tmp";
    auto* toPdf = new ToPdf(scratch);
    auto production = ui::PrintService::install(std::unique_ptr<ui::PrintService>(toPdf));
    const auto printed = doc->printQuestionnaire();
    const bool finished = toPdf->finish();
    ui::PrintService::install(std::move(production));
    try {
        if (printed == questionnaire::frmDocument::Printed::Nothing || !finished)
            throw std::runtime_error("no se pudo imprimir.");
        store::platform::SyncFile(scratch, store::platform::SyncFile::Mode::OpenExisting).sync();
        store::platform::replaceFile(scratch, pdf);
    } catch (const std::exception& e) {
        fs::remove(scratch, ec);
        return fail(QStringLiteral("No se puede escribir %1: %2")
                        .arg(shown(pdf), QString::fromStdString(store::platform::errorText(e))));
    }
    if (printed != questionnaire::frmDocument::Printed::Everything)
        return fail(QStringLiteral("No se puede leer %1: %2 lleva sólo el cuestionario.")
                        .arg(shown(dataDir / "considera.txt"), shown(pdf)));
    messages << said.texts();
    return 0;
}

}  // namespace app
