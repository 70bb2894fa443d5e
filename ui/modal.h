// Showing a window modally: the rest of the program waits until it is closed.
#pragma once

class QWidget;

namespace ui {

// Shows `window` application-modal and returns once it is closed (hidden) or
// destroyed. A busy pointer of the caller is lifted meanwhile, so the operator
// works the window with the normal pointer.
void showModal(QWidget* window);

}  // namespace ui
