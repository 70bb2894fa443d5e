#include "ui/keys.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QValidator>
#include <QWidget>
#include <algorithm>

#include "store/codepage.h"

namespace ui {

namespace {

// The tables we create hold code page 850. Control characters (a pasted line
// break, a tab) are no text of a field: stored, they would break the lines of
// the questionnaire and of every listing of the table.
bool storableChar(QChar c) {
    const char16_t u = c.unicode();
    return u >= 32 && u != 127 && !c.isSurrogate() && store::codepage::holds(u, store::codepage::CodePage::Cp850);
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
    case kBackspace: return Qt::Key_Backspace;
    case kTab: return Qt::Key_Tab;
    case kEnter: return Qt::Key_Return;
    case kEscape: return Qt::Key_Escape;
    default: break;
    }
    const QChar c(static_cast<char16_t>(code));
    return c.toUpper().unicode();
}

}  // namespace

bool storable(const QString& text) { return std::all_of(text.begin(), text.end(), storableChar); }

namespace {
int storableOr(int changed, int typed) {
    if (changed == typed || changed > 0xFFFF)
        return typed;
    return storable(QString(QChar(char16_t(changed)))) ? changed : typed;
}
}  // namespace

int upperKey(int code) {
    if (code <= 0 || code > 0xFFFF)
        return code;
    return storableOr(int(QChar::toUpper(char32_t(code))), code);
}

int lowerKey(int code) {
    if (code <= 0 || code > 0xFFFF)
        return code;
    return storableOr(int(QChar::toLower(char32_t(code))), code);
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
    if (code == kBackspace || code == kTab || code == kEnter || code == kEscape)
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
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), kept, key->isAutoRepeat(), ushort(key->count()));
            inFlight_.push_back(&copy);
            QCoreApplication::sendEvent(watched, &copy);
            inFlight_.pop_back();
        }
        return true;
    }
    if (code >= 32 && !storableChar(key->text().at(0)))
        return true;  // the keys that type control characters act, they are not stored
    const int result = filter(static_cast<QWidget*>(watched), code);
    if (result == 0)
        return true;
    // Deliver a fresh event (Qt 6 key events cannot be changed) and swallow the
    // original; the fresh one passes this filter untouched, also while it
    // propagates to parents or is forwarded to a grid's editor.
    auto fresh = result == code && key->key() != 0 ? std::make_unique<QKeyEvent>(
                     key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(), ushort(key->count()))
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
        const int code = filter(static_cast<QWidget*>(watched), c.unicode());
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

}  // namespace ui
