// The key pipeline: every typed character passes first through the window's
// filter, then through the focused control's filter. A filter is a plain
// function of the character code that returns the code to let through, or 0
// to swallow the key. Characters that the tables' code page cannot hold are
// swallowed here too, and they and control characters are dropped from text
// that arrives otherwise (pasted, dropped, from an input method).
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "rules/checks.h"

class QInputMethodEvent;
class QKeyEvent;
class QLineEdit;
class QWidget;

namespace ui {

// Filters run inside Qt's event handling, where nothing may be thrown: a
// filter is a plain function of the code and throws nothing.
using KeyFilter = std::function<int(int code)>;

// The character codes of the keys that type control characters, and the
// numeric fields' filter, are the entry rules' own.
using rules::kBackspace;
using rules::kEnter;
using rules::kEscape;
using rules::kTab;
using rules::SoloNumeros;

class KeyPipeline : public QObject {
    Q_OBJECT
public:
    // Sees the key presses of `window` and of every widget inside it, also
    // those created later (a grid's cell editors), before their own filters.
    explicit KeyPipeline(QWidget* window);

    void setWindowFilter(KeyFilter f) { windowFilter_ = std::move(f); }
    void setControlFilter(QWidget* control, KeyFilter f);

    // Runs the filters on a character code (window first, then the control's).
    int filter(QWidget* control, int code) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isOurs(QObject* watched) const;
    bool filterCommit(QObject* watched, QInputMethodEvent* event);

    QWidget* window_;
    std::vector<const QEvent*> inFlight_;  // rewritten keys being delivered
    KeyFilter windowFilter_;
    std::map<QWidget*, KeyFilter> controlFilters_;
};

// Queues a keystroke (Qt::Key_Tab, Qt::Key_Right, ...) to a widget: it is
// delivered after the current event has been handled.
void queueKey(QWidget* target, int key);

// True when every character of the text can be stored in the tables' code
// page and none is a control character (codes below 32, and 127).
bool storable(const QString& text);
// The text without the characters that cannot be stored.
QString storableOnly(const QString& text);
// A key code in upper or lower case for the key filters. A letter whose other
// case the tables could not store (the capital of ÿ) stays as typed, and so
// do control codes and codes without a case.
int upperKey(int code);
int lowerKey(int code);

// The character code that a key press types (kBackspace, kTab, kEnter,
// kEscape, or a printable character), or -1 when it types none.
int keyCode(const QKeyEvent* e);
// A copy of a key press that types `code` instead (key and text follow it).
std::unique_ptr<QKeyEvent> rewrittenKey(const QKeyEvent* e, int code);
// Drops unstorable and control characters from whatever reaches the line
// edit by other ways than typing (paste, drop, input methods). Keeps an
// existing validator.
void guardStorable(QLineEdit* edit);

}  // namespace ui
