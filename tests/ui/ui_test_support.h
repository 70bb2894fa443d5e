// Helpers shared by the window layer's tests.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

namespace uitest {

// Types text the way a keyboard does, one key press per character; unlike
// QTest::keyClicks it also types characters outside Latin-1.
inline void type(QWidget* w, const QString& text) {
    for (QChar c : text) {
        const QChar up = c.toUpper();
        const auto key = up.unicode() >= 'A' && up.unicode() <= 'Z' ? Qt::Key(Qt::Key_A + (up.unicode() - 'A'))
                                                                    : Qt::Key(up.unicode());
        QTest::sendKeyEvent(QTest::Click, w, key, QString(c), Qt::NoModifier);
    }
}

// Lets queued keystrokes and other posted work run.
inline void settle() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

} // namespace uitest
