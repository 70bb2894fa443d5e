// Layout of the help window frmayuda: the general considerations and a
// button to close it.
#pragma once

#include "ui/layout.h"

namespace ui {

const WindowLayout& frmayudaLayout();

}  // namespace ui
