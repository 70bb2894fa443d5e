// The rich-text reader (damaged RTF neither crashes nor hangs) and how a text file reaches a box.
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "support/test_support.h"
#include "ui/richtext.h"
#include "ui/rtf.h"

namespace {

QString plainOf(const QByteArray& rtf) {
    QTextDocument doc;
    ui::readRtf(rtf, doc);
    return doc.toPlainText();
}

// The character format at the first occurrence of `text` in the document.
QTextCharFormat formatAt(const QTextDocument& doc, const QString& text) {
    QTextCursor c = doc.find(text);
    EXPECT_FALSE(c.isNull()) << text.toStdString();
    c.setPosition(c.selectionStart() + 1);
    return c.charFormat();
}

// Damaged documents end (a hang fails by the time-out) and keep the text that could be read.
TEST(Rtf, TextOfWellFormedAndDamagedDocuments) {
    const QByteArray deep = "{\\rtf1 " + QByteArray(100000, '{') + "hondo" + QByteArray(100000, '}') + "fin}";
    QByteArray garbage(65536, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919 + 13) % 256);
    garbage.prepend("{\\rtf1 ");
    const struct {
        const char* what;
        QByteArray rtf;
        const char* text;
    } cases[] = {
        // text: UTF-8, or nullptr for any
        {"line breaks in the file are not text", "{\\rtf1 Hola\r\n mundo}", "Hola mundo"},
        {"hex escapes in code page 1252, either case", "{\\rtf1 Se\\'f1or \\'C1\\'e9 \\'80 \\'93x\\'94}",
         "Señor Áé € “x”"},
        {"unicode with its fallback skipped", "{\\rtf1 Espa\\u241\\'f1a y \\u8364?}", "España y €"},
        {"uc2 skips two fallback bytes, uc0 none", "{\\rtf1\\uc2 \\u233\\'65\\'65x{\\uc0 \\u233 y}}", "éxéy"},
        {"surrogate pair", "{\\rtf1 \\u-10179?\\u-8704?}", "\xf0\x9f\x98\x80"},
        {"escaped specials", "{\\rtf1 \\{llave\\} \\\\ barra}", "{llave} \\ barra"},
        {"symbols", "{\\rtf1 a\\line\\tab\\~b\\emdash c\\endash d\\bullet\\lquote e\\rquote\\ldblquote f\\rdblquote}",
         "a\n\t b—c–d•‘e’“f”"},  // plain text shows the no-break space as a blank
        {"skipped destinations",
         "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red0\\green0\\blue0;}"
         "{\\stylesheet{\\s0 Normal;}}{\\info{\\title T\\'edtulo}{\\author Yo}}"
         "{\\header Cabecera\\par}{\\*\\generator Writer;}{\\pict\\wmetafile8 0102ff}Texto{\\field{\\*\\fldinst "
         "HYPERLINK \"x\"}{\\fldrslt enlace}}}",
         "Textoenlace"},
        {"binary data is skipped", "{\\rtf1 a{\\*\\blip\\bin3 }}}}b}", "ab"},
        {"old-style escaped line break", "{\\rtf1 uno\\\ndos}", "uno\ndos"},
        // Damaged.
        {"stray brace before the group", "}{\\rtf1 a}", "a"},
        {"backslash at the end", "{\\rtf1 a\\", "a"},
        {"hex escapes without two digits", "{\\rtf1 a\\'zz\\'9 b\\'e", "azz b"},
        {"huge parameters", "{\\rtf1 \\fs99999999999999999999 a\\uc99999999999 \\u99999999999 b\\u-99999999999 c}",
         nullptr},
        {"negative and huge binary lengths", "{\\rtf1 a\\bin-5 b\\bin99999999999 xyz}", "ab"},
        {"unicode without a number, lone surrogate halves", "{\\rtf1 \\u x\\u-10179 xz\\u-8704 y}",
         "\xef\xbf\xbd\xef\xbf\xbdz\xef\xbf\xbd"},
        {"endless control word and number",
         "{\\rtf1 \\" + QByteArray(100000, 'a') + " b\\fs" + QByteArray(100000, '9') + " c}", "bc"},
        {"deep nesting: what lies too deep is dropped", deep, "fin"},
        {"noise", garbage, nullptr},
        {"nul bytes", QByteArray("{\\rtf1 a\0b}", 11), "ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString text = plainOf(c.rtf);
        if (c.text) {
            EXPECT_EQ(text, QString::fromUtf8(c.text));
        }
    }
}

TEST(Rtf, CharacterAndParagraphFormats) {
    QTextDocument doc;
    ui::readRtf("{\\rtf1\\pard\\qc {\\b Titulo}\\par\\pard Normal {\\i cursiva} \\ul sub\\ulnone  "
                "\\fs36 grande\\plain  llano\\par\\qr derecha\\par\\pard\\qj justo\\b\\b0  fino}",
                doc);
    ASSERT_EQ(doc.blockCount(), 4);
    const Qt::Alignment aligns[] = {Qt::AlignHCenter, Qt::AlignLeft, Qt::AlignRight, Qt::AlignJustify};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(doc.findBlockByNumber(i).blockFormat().alignment() & Qt::AlignHorizontal_Mask, aligns[i]) << i;
    EXPECT_EQ(formatAt(doc, "Titulo").fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt(doc, "Normal").fontWeight(), QFont::Normal);  // the group ended the bold
    EXPECT_TRUE(formatAt(doc, "cursiva").fontItalic());
    EXPECT_TRUE(formatAt(doc, "sub").fontUnderline());
    EXPECT_FALSE(formatAt(doc, "grande").fontUnderline());
    EXPECT_DOUBLE_EQ(formatAt(doc, "grande").fontPointSize(), 18.0);
    EXPECT_FALSE(formatAt(doc, "llano").hasProperty(QTextFormat::FontPointSize));  // \plain: the box's own size
    EXPECT_EQ(formatAt(doc, "fino").fontWeight(), QFont::Normal);
}

TEST(LoadTextFile, TextFilesByTheirEncodingAndFailuresLeaveTheBoxAlone) {
    QTemporaryDir dir;
    QTextEdit box;
    const std::tuple<const char*, QByteArray, const char*> cases[] = {
        {"bom.txt", "\357\273\277A\303\261o", "Año"},
        {"cp1252.txt", "Dise\361o \223citado\224 \200", "Diseño “citado” €"},
        {"crlf.txt", "uno\r\ndos\rtres", "uno\ndos\ntres"},
        {"a.rtf", "{\\rtf1 nuevo}", "nuevo"},
    };
    for (const auto& [file, bytes, shown] : cases) {
        SCOPED_TRACE(file);
        box.setPlainText(QStringLiteral("anterior"));
        QString error = QStringLiteral("sin tocar");
        EXPECT_TRUE(
            ui::loadTextFile(box, testsupport::writeFile(dir.filePath(QString::fromLatin1(file)), bytes), &error));
        EXPECT_EQ(box.toPlainText(), QString::fromUtf8(shown));
        EXPECT_EQ(error, QStringLiteral("sin tocar"));
        EXPECT_EQ(box.textCursor().position(), 0);
        box.undo();  // loading is not an edit to undo
        EXPECT_EQ(box.toPlainText(), QString::fromUtf8(shown));
    }
    QString error;
    EXPECT_FALSE(ui::loadTextFile(box, dir.path(), &error));  // a folder cannot be read as a file
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(ui::loadTextFile(box, dir.filePath(QStringLiteral("no-existe.txt"))));  // no place for the error
    EXPECT_EQ(box.toPlainText(), QStringLiteral("nuevo"));
}

}  // namespace
