#include "ui/modal.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

namespace ui {

namespace {

// Ends the loop when the window is hidden: a close the window refuses leaves it up.
class EndOnHide : public QObject {
public:
    explicit EndOnHide(QEventLoop& loop) : loop_(loop) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Hide)
            loop_.quit();
        return false;
    }

private:
    QEventLoop& loop_;
};

}  // namespace

void showModal(QWidget* window) {
    if (!window)
        return;
    QPointer<QWidget> w(window);
    QEventLoop loop;
    EndOnHide watcher(loop);
    w->installEventFilter(&watcher);
    QObject::connect(w, &QObject::destroyed, &loop, &QEventLoop::quit);

    QApplication::setOverrideCursor(Qt::ArrowCursor);
    w->setWindowModality(Qt::ApplicationModal);
    w->show();
    w->raise();
    w->activateWindow();
    if (w->isVisible())
        loop.exec();
    QApplication::restoreOverrideCursor();
    if (w)
        w->removeEventFilter(&watcher);
}

}  // namespace ui
