#include "ui/layouts/documento.h"

#include <iterator>

namespace ui {
namespace {

// clang-format off
// The print dialog is the print service (ui/printing.h), not a control.
const ControlSpec kControls[] = {
    {.name = "rtfText", .kind = Kind::RichText, .tab = 0, .left = 120, .top = 120, .width = 7080, .height = 5715,
     .visible = false, .accessibleName = "Solicitud para imprimir"},
    {.name = "Command1", .kind = Kind::Button, .caption = "&Imprimir", .tab = 1, .left = 2760, .top = 5640,
     .width = 1215, .height = 375, .accessibleName = "Imprimir"},
    {.name = "Command2", .kind = Kind::Button, .caption = "&Cerrar", .tab = 2, .left = 4080, .top = 5640,
     .width = 1215, .height = 375, .accessibleName = "Cerrar"},
    {.name = "RTUltima", .kind = Kind::RichText, .tab = 3, .left = 360, .top = 120, .width = 7080, .height = 5715,
     .font = "Arial", .accessibleName = "Solicitud"},
    {.name = "CONSIDERA", .kind = Kind::RichText, .tab = 4, .left = 1656, .top = 2304, .width = 2676,
     .height = 1668, .visible = false, .accessibleName = "Consideraciones generales para imprimir"},
};
// clang-format on

const WindowLayout kLayout = {"frmDocument", "Impresión de Solicitud", 7500, 6060,
                              kControls,     int(std::size(kControls))};

}  // namespace

const WindowLayout& frmDocumentLayout() { return kLayout; }

}  // namespace ui
