#include "ui/layouts/ayuda.h"

#include <iterator>

namespace ui {
namespace {

// clang-format off
// Positions are those the window's resize rule gives at the opening size;
// the rule moves both controls whenever the window changes size.
const ControlSpec kControls[] = {
    // No label names the box on the window: a screen reader gets the
    // window's caption, which says what the text is.
    {.name = "RTUltima", .kind = Kind::RichText, .tab = 0, .left = 100, .top = 100, .width = 7300,
     .height = 5060, .accessibleName = "Consideraciones para el llenado de la Solicitud"},
    {.name = "Command2", .kind = Kind::Button, .caption = "&Cerrar", .tab = 1, .left = 5880, .top = 5360,
     .width = 1215, .height = 375},
};
// clang-format on

const WindowLayout kLayout = {
    "frmayuda", "Consideraciones para el llenado de la Solicitud", 7500, 6060, kControls, int(std::size(kControls))};

}  // namespace

const WindowLayout& frmayudaLayout() { return kLayout; }

}  // namespace ui
