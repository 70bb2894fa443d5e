#include "ui/layouts/acercade.h"

#include <iterator>

namespace ui {
namespace {

// clang-format off
// The title and the version are written by the box when it opens.
const ControlSpec kControls[] = {
    {.name = "lblTitle", .kind = Kind::Label, .left = 1050, .top = 225, .width = 4095, .height = 480},
    {.name = "lblVersion", .kind = Kind::Label, .left = 1050, .top = 810, .width = 4095, .height = 225},
    {.name = "lblDescription", .kind = Kind::Label,
     .caption = "Secretaría de Quentaria\n"
                "Dirección General de Fomento Industrial\n"
                "Unidad de Registro de Programas Sectoriales",
     .left = 1050, .top = 1125, .width = 4095, .height = 990},
    // The etched separator above the contact details: a grey line with a
    // white one beneath it, from 270 to 5702.
    {.name = "Line1", .kind = Kind::Line, .left = 270, .top = 2250, .width = 5432, .height = 30},
    {.name = "lblDisclaimer", .kind = Kind::Label,
     .caption = "Dudas y Comentarios\n"
                "Ventanilla de atención de la Unidad\n"
                "de lunes a viernes, de 9:00 a 14:00 horas",
     .left = 225, .top = 2340, .width = 3870, .height = 1140},
    {.name = "cmdOK", .kind = Kind::Button, .caption = "OK", .tab = 0, .left = 4275, .top = 2385, .width = 1467,
     .height = 345, .isDefault = true, .isCancel = true},
};
// clang-format on

const WindowLayout kLayout = {"frmAbout", "Acerca de", 5865, 3630, kControls, int(std::size(kControls))};

}  // namespace

const WindowLayout& frmAboutLayout() { return kLayout; }

}  // namespace ui
