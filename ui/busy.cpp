#include "ui/busy.h"

#include <QApplication>
#include <QCursor>

namespace ui {

BusyPointer::BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }

BusyPointer::~BusyPointer() { QApplication::restoreOverrideCursor(); }

}  // namespace ui
