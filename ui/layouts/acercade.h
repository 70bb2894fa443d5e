// Layout of the About box frmAbout: title, version, issuing office, contact
// details and its OK button.
#pragma once

#include "ui/layout.h"

namespace ui {

const WindowLayout& frmAboutLayout();

}  // namespace ui
