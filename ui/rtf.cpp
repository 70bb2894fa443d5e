#include "ui/rtf.h"

#include <QByteArrayView>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <climits>
#include <vector>

namespace ui {

namespace {

// clang-format off
// Windows-1252 from 0x80 to 0x9F; below and above it is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Real documents nest a few dozen groups at most; deeper ones are damage and
// their content is dropped rather than letting the state stack grow.
constexpr std::size_t kMaxDepth = 256;
// \ucN gives how many fallback characters follow each \uN; writers use 1 or
// 2. A larger N would only eat text of a damaged file.
constexpr int kMaxFallback = 16;

// Groups whose content is never text to show.
constexpr const char* kSkippedDestinations[] = {
    "fonttbl",   "colortbl",  "stylesheet", "info",       "pict",          "header",
    "headerl",   "headerr",   "headerf",    "footer",     "footerl",       "footerr",
    "footerf",   "footnote",  "object",     "fldinst",    "listtable",     "listoverridetable",
    "rsidtbl",   "generator", "xmlnstbl",   "themedata",  "colorschememapping",
    "latentstyles", "datastore", "filetbl", "revtbl",     "pn",            "nonshppict",
    "bkmkstart", "bkmkend",   "template",   "annotation", "atnid",         "atnauthor",
};
// clang-format on

// Control words that stand for one character.
struct Symbol {
    const char* word;
    char16_t ch;
};
constexpr Symbol kSymbols[] = {
    {"tab", u'\t'},      {"cell", u'\t'},     {"line", 0x2028},    {"emdash", 0x2014},    {"endash", 0x2013},
    {"bullet", 0x2022},  {"lquote", 0x2018},  {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
    {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005},
};

struct State {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 0;  // 0: the box's own size
    Qt::Alignment align = Qt::AlignLeft;
    bool skip = false;  // inside a destination that is not shown
    int fallback = 1;   // \uc
};

bool sameLook(const State& a, const State& b) {
    return a.bold == b.bold && a.italic == b.italic && a.underline == b.underline && a.halfPoints == b.halfPoints;
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int hexValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class Reader {
public:
    Reader(const QByteArray& in, QTextDocument& doc) : in_(in), cursor_(&doc) {}

    void run() {
        cursor_.beginEditBlock();
        // One step consumes at least one byte, so the loop ends.
        while (pos_ < in_.size() && !ended_) {
            const char c = in_[pos_++];
            switch (c) {
            case '{': openGroup(); break;
            case '}': closeGroup(); break;
            case '\\': control(); break;
            case '\r':
            case '\n':
            case '\0': break;
            case '\t': character(u'\t'); break;
            default: character(windows1252(static_cast<unsigned char>(c))); break;
            }
        }
        endParagraph(false);
        cursor_.endEditBlock();
    }

private:
    bool dropping() const { return st_.skip || overflow_ > 0; }

    void openGroup() {
        fallbackLeft_ = 0;
        if (stack_.size() >= kMaxDepth) {
            ++overflow_;
            return;
        }
        stack_.push_back(st_);
        groupStart_ = true;
    }

    void closeGroup() {
        fallbackLeft_ = 0;
        groupStart_ = false;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (stack_.empty()) {  // a stray brace before any group: nothing to close
            return;
        }
        if (stack_.size() == 1) {
            // The document's own group: what follows is not part of it. Its
            // last paragraph keeps the properties in force inside it.
            ended_ = true;
            return;
        }
        st_ = stack_.back();
        stack_.pop_back();
    }

    void control() {
        if (pos_ >= in_.size())
            return;  // a backslash at the very end
        const char c = in_[pos_];
        if (isLetter(c)) {
            controlWord();
            return;
        }
        ++pos_;
        const bool atStart = groupStart_;
        groupStart_ = false;
        if (c == '\'') {
            int value = 0, digits = 0;
            while (digits < 2 && pos_ < in_.size() && hexValue(in_[pos_]) >= 0) {
                value = value * 16 + hexValue(in_[pos_++]);
                ++digits;
            }
            if (digits < 2)
                return;  // a cut escape decodes to nothing
            if (fallbackLeft_ > 0) {
                --fallbackLeft_;
                return;
            }
            character(windows1252(static_cast<unsigned char>(value)));
            return;
        }
        if (c == '*') {
            // An optional destination: none of those is shown.
            if (atStart)
                st_.skip = true;
            return;
        }
        if (fallbackLeft_ > 0) {
            --fallbackLeft_;
            return;
        }
        switch (c) {
        case '\\':
        case '{':
        case '}': character(QChar::fromLatin1(c)); break;
        case '~': character(QChar(0x00A0)); break;
        case '_': character(QChar(0x2011)); break;
        case '\r':
        case '\n': endParagraph(true); break;
        default: break;  // \- (optional hyphen), \| \: and unknown symbols show nothing
        }
    }

    void controlWord() {
        const qsizetype start = pos_;
        while (pos_ < in_.size() && isLetter(in_[pos_]))
            ++pos_;
        const QByteArrayView word(in_.constData() + start, pos_ - start);
        bool hasParam = false;
        long long param = 0;
        bool negative = false;
        if (pos_ < in_.size() && in_[pos_] == '-') {  // part of the word even when no digit follows
            negative = true;
            ++pos_;
        }
        while (pos_ < in_.size() && isDigit(in_[pos_])) {
            hasParam = true;
            if (param <= INT_MAX)
                param = param * 10 + (in_[pos_] - '0');  // larger values are clamped below
            ++pos_;
        }
        if (pos_ < in_.size() && in_[pos_] == ' ')
            ++pos_;  // the delimiter belongs to the word
        param = std::min<long long>(param, INT_MAX);
        const int value = int(negative ? -param : param);

        const bool atStart = groupStart_;
        groupStart_ = false;

        if (word == "bin") {  // raw bytes follow, never text
            if (hasParam && value > 0)
                pos_ += std::min<qsizetype>(value, in_.size() - pos_);
            return;
        }
        if (overflow_ > 0)
            return;
        if (fallbackLeft_ > 0) {
            --fallbackLeft_;
            return;
        }
        if (atStart) {
            for (const char* d : kSkippedDestinations)
                if (word == d) {
                    st_.skip = true;
                    return;
                }
        }
        const bool on = !hasParam || value != 0;
        if (word == "par" || word == "sect" || word == "page" || word == "row") {
            endParagraph(true);
        } else if (word == "u") {
            unicode(hasParam ? value : 0xFFFD);
        } else if (word == "uc") {
            st_.fallback = std::clamp(value, 0, kMaxFallback);
        } else if (word == "b") {
            st_.bold = on;
        } else if (word == "i") {
            st_.italic = on;
        } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" || word == "ulth") {
            st_.underline = on;
        } else if (word == "ulnone") {
            st_.underline = false;
        } else if (word == "plain") {
            st_.bold = st_.italic = st_.underline = false;
            st_.halfPoints = 0;
        } else if (word == "fs") {
            // Half points; 1 to 1638 points, what word processors accept.
            st_.halfPoints = hasParam ? std::clamp(value, 2, 3276) : 0;
        } else if (word == "pard") {
            st_.align = Qt::AlignLeft;
        } else if (word == "ql") {
            st_.align = Qt::AlignLeft;
        } else if (word == "qc") {
            st_.align = Qt::AlignHCenter;
        } else if (word == "qr") {
            st_.align = Qt::AlignRight;
        } else if (word == "qj") {
            st_.align = Qt::AlignJustify;
        } else {
            for (const Symbol& s : kSymbols)
                if (word == s.word) {
                    character(QChar(s.ch));
                    return;
                }
        }
    }

    void unicode(int value) {
        // Signed 16-bit in the file: characters above 32767 come negative.
        if (value < 0)
            value += 65536;
        if (value < 0 || value > 0x10FFFF)
            value = 0xFFFD;
        const int fallback = st_.fallback;
        if (value > 0xFFFF) {
            const char32_t full = char32_t(value);
            const QString pair = QString::fromUcs4(&full, 1);
            for (QChar ch : pair)
                character(ch);
        } else {
            character(QChar(char16_t(value)));
        }
        fallbackLeft_ = fallback;
    }

    void character(QChar ch) {
        if (fallbackLeft_ > 0) {
            --fallbackLeft_;
            return;
        }
        if (dropping())
            return;
        // A half of a surrogate pair alone is not a character: show it as one
        // that says so.
        if (highSurrogate_ != 0) {
            const char16_t high = highSurrogate_;
            highSurrogate_ = 0;
            if (ch.isLowSurrogate()) {
                append(QChar(high));
                append(ch);
                return;
            }
            append(QChar(QChar::ReplacementCharacter));
        }
        if (ch.isHighSurrogate()) {
            highSurrogate_ = ch.unicode();
            return;
        }
        if (ch.isLowSurrogate())
            ch = QChar(QChar::ReplacementCharacter);
        append(ch);
    }

    void append(QChar ch) {
        if (!text_.isEmpty() && !sameLook(look_, st_))
            flush();
        if (text_.isEmpty())
            look_ = st_;
        text_.append(ch);
    }

    void flush() {
        if (highSurrogate_ != 0) {
            highSurrogate_ = 0;
            if (text_.isEmpty())
                look_ = st_;
            text_.append(QChar(QChar::ReplacementCharacter));
        }
        if (text_.isEmpty())
            return;
        QTextCharFormat f;
        f.setFontWeight(look_.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(look_.italic);
        f.setFontUnderline(look_.underline);
        if (look_.halfPoints > 0)
            f.setFontPointSize(look_.halfPoints / 2.0);
        cursor_.insertText(text_, f);
        text_.clear();
    }

    // Ends the current paragraph with the alignment in force at its end, as
    // RTF's paragraph properties are; `more` starts the next one.
    void endParagraph(bool more) {
        if (more && dropping())
            return;
        flush();
        QTextBlockFormat b = cursor_.blockFormat();
        b.setAlignment(st_.align);
        cursor_.setBlockFormat(b);
        if (more)
            cursor_.insertBlock();
    }

    const QByteArray& in_;
    qsizetype pos_ = 0;
    QTextCursor cursor_;
    State st_;
    std::vector<State> stack_;
    int overflow_ = 0;         // groups opened beyond kMaxDepth, still open
    bool groupStart_ = false;  // nothing read yet in the group just opened
    bool ended_ = false;
    int fallbackLeft_ = 0;  // fallback characters of the last \uN still to skip
    char16_t highSurrogate_ = 0;
    QString text_;  // characters of one look, not yet in the document
    State look_;
};

}  // namespace

bool isRtf(const QByteArray& bytes) { return bytes.startsWith("{\\rtf"); }

QChar windows1252(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return QChar(kCp1252High[byte - 0x80]);
    return QChar(char16_t(byte));
}

void readRtf(const QByteArray& bytes, QTextDocument& doc) {
    // Loading is not an edit the operator could undo.
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.clear();
    Reader(bytes, doc).run();
    doc.setUndoRedoEnabled(undo);
}

}  // namespace ui
