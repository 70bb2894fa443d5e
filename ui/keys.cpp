#include "ui/keys.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QValidator>
#include <QWidget>
#include <algorithm>
#include <array>

namespace ui {

namespace {

// The upper half of code page 850 (bytes 0x80-0xFF); the lower half is ASCII.
constexpr std::array<char16_t, 128> kCp850High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557,
    0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB,
    0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9,
    0x00FD, 0x00DD, 0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

bool storableChar(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80)
        return true;
    if (c.isSurrogate())
        return false;
    return std::find(kCp850High.begin(), kCp850High.end(), u) != kCp850High.end();
}

// Strips what the tables cannot hold from any text that reaches the box.
class StorableValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        if (storable(input))
            return Acceptable;
        const int before = int(storableOnly(input.left(pos)).size());
        input = storableOnly(input);
        pos = before;
        return Acceptable;
    }
};

// The Qt key that types a given character, so that a widget reacting to the
// key rather than the text (Backspace, Enter) sees the rewritten one.
int keyFor(int code) {
    switch (code) {
    case 8: return Qt::Key_Backspace;
    case 9: return Qt::Key_Tab;
    case 13: return Qt::Key_Return;
    case 27: return Qt::Key_Escape;
    default: break;
    }
    const QChar c(static_cast<char16_t>(code));
    return c.toUpper().unicode();
}

} // namespace

bool storable(const QString& text) {
    return std::all_of(text.begin(), text.end(), storableChar);
}

QString storableOnly(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (storableChar(c))
            out.append(c);
    return out;
}

int keyCode(const QKeyEvent* e) {
    const QString t = e->text();
    if (t.isEmpty())
        return -1;
    const int code = t.at(0).unicode();
    if (code == 8 || code == 9 || code == 13 || code == 27)
        return code;
    if (code < 32 || code == 127)
        return -1;  // control shortcuts (Ctrl+V...) and Delete are not characters
    return code;
}

std::unique_ptr<QKeyEvent> rewrittenKey(const QKeyEvent* e, int code) {
    return std::make_unique<QKeyEvent>(e->type(), keyFor(code), e->modifiers(),
                                       QString(QChar(static_cast<char16_t>(code))), e->isAutoRepeat(),
                                       ushort(e->count()));
}

void guardStorable(QLineEdit* edit) {
    if (edit && !edit->validator())
        edit->setValidator(new StorableValidator(edit));
}

KeyPipeline::KeyPipeline(QWidget* window) : QObject(window), window_(window) {
    // An application-wide filter runs before every object filter (a grid's
    // delegate included) and also covers editors created later.
    qApp->installEventFilter(this);
    for (auto* edit : window->findChildren<QLineEdit*>())
        guardStorable(edit);
}

void KeyPipeline::setControlFilter(QWidget* control, KeyFilter f) {
    if (f)
        controlFilters_[control] = std::move(f);
    else
        controlFilters_.erase(control);
}

int KeyPipeline::filter(QWidget* control, int code) const {
    if (windowFilter_) {
        code = windowFilter_(code);
        if (code == 0)
            return 0;
    }
    // The control's own filter, or that of the control it is part of (the
    // line edit inside a combo box, say).
    for (QWidget* w = control; w && w != window_; w = w->parentWidget()) {
        auto it = controlFilters_.find(w);
        if (it != controlFilters_.end())
            return it->second(code);
        if (w->isWindow())
            break;
    }
    return code;
}

bool KeyPipeline::isOurs(QObject* watched) const {
    if (!watched->isWidgetType())
        return false;
    auto* w = static_cast<QWidget*>(watched);
    return w == window_ || window_->isAncestorOf(w);
}

bool KeyPipeline::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::InputMethod)
        return filterCommit(watched, static_cast<QInputMethodEvent*>(event));
    if (event->type() != QEvent::KeyPress)
        return false;
    if (std::find(inFlight_.begin(), inFlight_.end(), event) != inFlight_.end())
        return false;  // already filtered: our own rewritten key on its way
    if (!isOurs(watched))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const int code = keyCode(key);
    if (code < 0)
        return false;
    if (key->text().size() != 1) {
        // Composed text: keep what can be stored, unfiltered.
        const QString kept = storableOnly(key->text());
        if (kept == key->text())
            return false;
        if (!kept.isEmpty()) {
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), kept, key->isAutoRepeat(),
                           ushort(key->count()));
            inFlight_.push_back(&copy);
            QCoreApplication::sendEvent(watched, &copy);
            inFlight_.pop_back();
        }
        return true;
    }
    if (!storableChar(key->text().at(0)))
        return true;
    int result = 0;
    try {
        result = filter(static_cast<QWidget*>(watched), code);
    } catch (...) {
        result = 0;  // a filter must never take the event loop down
    }
    if (result == 0)
        return true;
    // Deliver a fresh event (Qt 6 key events cannot be changed) and swallow the
    // original; the fresh one passes this filter untouched, also while it
    // propagates to parents or is forwarded to a grid's editor.
    auto fresh = result == code && key->key() != 0
                     ? std::make_unique<QKeyEvent>(key->type(), key->key(), key->modifiers(), key->text(),
                                                   key->isAutoRepeat(), ushort(key->count()))
                     : rewrittenKey(key, result);
    QPointer<QObject> guard(watched);
    inFlight_.push_back(fresh.get());
    QCoreApplication::sendEvent(watched, fresh.get());
    inFlight_.erase(std::find(inFlight_.begin(), inFlight_.end(), fresh.get()));
    return true;
}

// Text committed by an input method (accented letters from dead keys, say)
// bypasses key presses: its characters get the same filters one by one.
bool KeyPipeline::filterCommit(QObject* watched, QInputMethodEvent* event) {
    if (event->commitString().isEmpty() || !isOurs(watched))
        return false;
    if (std::find(inFlight_.begin(), inFlight_.end(), event) != inFlight_.end())
        return false;
    QString kept;
    for (QChar c : event->commitString()) {
        if (!storableChar(c))
            continue;
        int code = 0;
        try {
            code = filter(static_cast<QWidget*>(watched), c.unicode());
        } catch (...) {
            code = 0;
        }
        if (code >= 32)
            kept.append(QChar(static_cast<char16_t>(code)));
    }
    if (kept == event->commitString())
        return false;
    QInputMethodEvent fresh(event->preeditString(), event->attributes());
    fresh.setCommitString(kept, event->replacementStart(), event->replacementLength());
    inFlight_.push_back(&fresh);
    QCoreApplication::sendEvent(watched, &fresh);
    inFlight_.pop_back();
    return true;
}

void queueKey(QWidget* target, int key) {
    QPointer<QWidget> to(target);
    QMetaObject::invokeMethod(
        target,
        [to, key] {
            if (!to)
                return;
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(to, &press);
            if (!to)
                return;
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
            QCoreApplication::sendEvent(to, &release);
        },
        Qt::QueuedConnection);
}

} // namespace ui
