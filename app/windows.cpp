#include "app/windows.h"

#include "capture/form1.h"
#include "store/database.h"

namespace app {

void wireWindows(capture::Form1&, store::Database&) {}

} // namespace app
