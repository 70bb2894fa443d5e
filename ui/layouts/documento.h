// Layout of the document window frmDocument: the questionnaire shown to the
// operator, the two hidden boxes that hold what is printed, and its buttons.
#pragma once

#include "ui/layout.h"

namespace ui {

const WindowLayout& frmDocumentLayout();

// RTUltima's font size in points; the table gives its family (Arial), and a
// control's size has no column of its own.
inline constexpr double kRTUltimaPointSize = 7.5;

}  // namespace ui
