#include "ui/richtext.h"

#include <QStringDecoder>
#include <QTextCursor>
#include <QTextEdit>

#include "store/platform/errors.h"
#include "ui/rtf.h"

namespace ui {

namespace {

// Plain text: UTF-8 when the bytes are valid UTF-8 (a byte-order mark is
// dropped), else Windows-1252, which the program's texts were written in.
QString plainText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        text.clear();
        text.reserve(bytes.size());
        for (char c : bytes)
            text.append(windows1252(static_cast<unsigned char>(c)));
    }
    // Lines of a file written on Windows end in CR LF; the box wants LF.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace

bool loadTextFile(QTextEdit& box, const QString& path, QString* error) {
    // Read through the platform layer, whose failure texts are Spanish.
    std::error_code ec;
    const std::string read = store::platform::readFile(std::filesystem::path(path.toStdU16String()), ec);
    if (ec) {  // a read that failed half way leaves the box as it was
        if (error)
            *error = QString::fromStdString(store::platform::errorText(ec));
        return false;
    }
    const QByteArray bytes = QByteArray::fromStdString(read);
    if (isRtf(bytes)) {
        box.clear();
        readRtf(bytes, *box.document());
    } else {
        box.setPlainText(plainText(bytes));
    }
    box.moveCursor(QTextCursor::Start);
    return true;
}

}  // namespace ui
