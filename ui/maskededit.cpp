#include "ui/maskededit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>

#include "ui/keys.h"

namespace ui {

// The box holds its text as shown: one character per mask position, blank
// for an empty one, so text() is always as wide as the mask.
MaskedEdit::MaskedEdit(QWidget* parent) : QLineEdit(parent) {
    setAcceptDrops(false);
    connect(this, &QLineEdit::textChanged, this, [this] { keepWidth(); });
}

void MaskedEdit::setMask(const QString& mask) {
    mask_ = mask;
    if (mask_.isEmpty()) {
        setMaxLength(32767);
        return;
    }
    setMaxLength(int(mask_.size()));
    keepWidth();
}

QString MaskedEdit::maskedText() const {
    if (mask_.isEmpty())
        return text();
    return text().leftJustified(mask_.size(), QLatin1Char(' '), true);
}

void MaskedEdit::setMaskedText(const QString& t) {
    if (mask_.isEmpty()) {
        QLineEdit::setText(t);
        return;
    }
    QLineEdit::setText(t.leftJustified(mask_.size(), QLatin1Char(' '), true));
}

void MaskedEdit::keepWidth() {
    if (mask_.isEmpty() || adjusting_ || text().size() == mask_.size())
        return;
    adjusting_ = true;
    const int caret = cursorPosition();
    QLineEdit::setText(text().leftJustified(mask_.size(), QLatin1Char(' '), true));
    setCursorPosition(std::min(caret, int(mask_.size())));
    adjusting_ = false;
}

bool MaskedEdit::accepts(int pos, QChar c) const {
    if (pos < 0 || pos >= mask_.size())
        return false;
    switch (mask_.at(pos).unicode()) {
    case '9': return c.isDigit();
    case '#': return c.isDigit() || c == QLatin1Char(' ');
    case 'a': return c.isLetterOrNumber();
    case '&': return c.unicode() >= 32;
    default: return false;  // a literal position
    }
}

void MaskedEdit::replaceAt(int pos, const QString& chars, int caret) {
    // Through a selection and insert(), so undo and textEdited work as usual.
    setSelection(pos, int(chars.size()));
    insert(chars);
    setCursorPosition(caret);
}

void MaskedEdit::blankSelection() {
    const int start = selectionStart();
    const int length = int(selectedText().size());
    if (start >= 0 && length > 0)
        replaceAt(start, QString(length, QLatin1Char(' ')), start);
}

void MaskedEdit::pasteMasked(const QString& pasted) {
    if (mask_.isEmpty()) {
        insert(pasted);
        return;
    }
    const QString chars = storableOnly(pasted);
    int pos = hasSelectedText() ? selectionStart() : cursorPosition();
    QString t = maskedText();
    const int start = pos;
    for (QChar c : chars) {
        if (pos >= t.size())
            break;
        if (c == QLatin1Char(' ') || accepts(pos, c))
            t[pos] = c;
        ++pos;  // a refused character leaves its position as it was
    }
    if (pos > start)
        replaceAt(start, t.mid(start, pos - start), pos);
}

void MaskedEdit::keyPressEvent(QKeyEvent* e) {
    if (mask_.isEmpty() || isReadOnly()) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    if (e == QKeySequence::Paste) {
        pasteMasked(QApplication::clipboard()->text());
        e->accept();
        return;
    }
    if (e == QKeySequence::Cut) {
        copy();
        blankSelection();
        e->accept();
        return;
    }
    const int pos = cursorPosition();
    switch (e->key()) {
    case Qt::Key_Backspace:
        if (hasSelectedText())
            blankSelection();
        else if (pos > 0)
            replaceAt(pos - 1, QStringLiteral(" "), pos - 1);
        e->accept();
        return;
    case Qt::Key_Delete:
        if (hasSelectedText())
            blankSelection();
        else if (pos < mask_.size())
            replaceAt(pos, QStringLiteral(" "), pos);
        e->accept();
        return;
    default: break;
    }
    if (e == QKeySequence::DeleteStartOfWord || e == QKeySequence::DeleteEndOfWord || e == QKeySequence::DeleteEndOfLine
        || e == QKeySequence::DeleteCompleteLine) {
        blankSelection();  // deleting words would shift the positions
        e->accept();
        return;
    }
    const QString t = e->text();
    if (t.size() == 1 && t.at(0).unicode() >= 32 && t.at(0).unicode() != 127
        && !(e->modifiers() & Qt::ControlModifier && !(e->modifiers() & Qt::AltModifier))) {
        typeChar(t.at(0));
        e->accept();  // a refused character is swallowed
        return;
    }
    QLineEdit::keyPressEvent(e);  // moves, selection, copy, undo
}

void MaskedEdit::typeChar(QChar c) {
    const int at = hasSelectedText() ? selectionStart() : cursorPosition();
    if (c == QLatin1Char(' ')) {
        // The blank is the prompt: the position is left blank and the caret
        // stays; the window's blank-key rule moves it on.
        if (at < mask_.size())
            replaceAt(at, QStringLiteral(" "), at);
    } else if (accepts(at, c)) {
        replaceAt(at, QString(c), at + 1);
    }
}

void MaskedEdit::inputMethodEvent(QInputMethodEvent* e) {
    if (mask_.isEmpty() || isReadOnly()) {
        QLineEdit::inputMethodEvent(e);
        return;
    }
    // Composed characters are typed position by position like keys; the
    // composition in progress is not shown inside the fixed positions.
    for (QChar c : storableOnly(e->commitString()))
        typeChar(c);
    e->accept();
}

void MaskedEdit::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    // An empty box selects its first position, so the first key typed (the
    // blank of a company RFC, or a letter) lands there.
    if (!mask_.isEmpty() && text().trimmed().isEmpty())
        setSelection(0, 1);
}

void MaskedEdit::contextMenuEvent(QContextMenuEvent* e) {
    QMenu* menu = createStandardContextMenu();
    if (!mask_.isEmpty()) {
        // The standard entries would insert or delete characters and shift
        // the positions; route them through the positional versions.
        for (QAction* a : menu->actions()) {
            const QString name = a->objectName();
            if (name == QLatin1String("edit-paste")) {
                disconnect(a, &QAction::triggered, nullptr, nullptr);
                connect(a, &QAction::triggered, this, [this] { pasteMasked(QApplication::clipboard()->text()); });
            } else if (name == QLatin1String("edit-cut")) {
                disconnect(a, &QAction::triggered, nullptr, nullptr);
                connect(a, &QAction::triggered, this, [this] {
                    copy();
                    blankSelection();
                });
            } else if (name == QLatin1String("edit-delete")) {
                disconnect(a, &QAction::triggered, nullptr, nullptr);
                connect(a, &QAction::triggered, this, [this] { blankSelection(); });
            }
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(e->globalPos());
}

}  // namespace ui
