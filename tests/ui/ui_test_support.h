// Helpers shared by the window layer's tests.
#pragma once

#include <QKeyEvent>
#include <QWidget>

#include "support/test_support.h"
#include "ui/layout.h"

namespace uitest {

// One key press per character; unlike QTest::keyClicks it also types characters outside Latin-1.
inline void type(QWidget* w, const QString& text) {
    for (QChar c : text) {
        const QChar up = c.toUpper();
        const auto key = up.unicode() >= 'A' && up.unicode() <= 'Z' ? Qt::Key(Qt::Key_A + (up.unicode() - 'A'))
                                                                    : Qt::Key(up.unicode());
        QTest::sendKeyEvent(QTest::Click, w, key, QString(c), Qt::NoModifier);
    }
}

// Lets queued keystrokes and other posted work run.
inline void settle() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

inline int digitsOnly(int code) {
    return (code >= '0' && code <= '9') || code == 8 || code == 9 || code == 27 ? code : 0;
}

// What the real windows use: control arrays, frames, a shared label, tab pages out of order, hidden controls.
using ui::Kind;
// clang-format off
inline const ui::ControlSpec kSample[] = {
    {.name = "cmdBoton", .index = 0, .kind = Kind::PictureButton, .tab = 9, .width = 375, .height = 375,
     .toolTip = "Grabar datos"},
    {.name = "cmdBoton", .index = 1, .kind = Kind::PictureButton, .tab = 10, .left = 450, .width = 375,
     .height = 375, .enabled = false, .toolTip = "Borra Anexos"},
    {.name = "lblRfc", .kind = Kind::Label, .caption = "RFC", .left = 150, .top = 450, .width = 600, .height = 255},
    {.name = "MaskEdBox1", .kind = Kind::MaskedEdit, .label = "lblRfc", .field = "RFC", .maxLength = 13, .tab = 1,
     .left = 855, .top = 450, .width = 1695, .height = 300, .mask = "&&&&999999aaa"},
    {.name = "lblTel1", .kind = Kind::Label, .caption = "Teléfono", .container = "Frame1"},
    {.name = "Frame1", .kind = Kind::Frame, .caption = "Domicilio Fiscal", .left = 150, .top = 900, .width = 7000,
     .height = 1500},
    {.name = "txtTelefono", .kind = Kind::TextBox, .label = "lblTel1", .field = "TELEFONO", .maxLength = 15,
     .tab = 3, .left = 1500, .top = 300, .width = 1500, .height = 300, .container = "Frame1"},
    {.name = "lblCalle", .kind = Kind::Label, .caption = "Calle y No.", .container = "Frame1"},
    {.name = "txtCalle", .kind = Kind::TextBox, .caption = "inicial", .label = "lblCalle", .field = "CALLEYNO",
     .maxLength = 20, .tab = 2, .left = 4200, .top = 300, .width = 2500, .height = 300, .container = "Frame1"},
    {.name = "TipoProg", .kind = Kind::TextBox, .caption = "0", .field = "TIPOPROG", .tab = 4, .width = 465,
     .height = 315, .visible = false},
    {.name = "SSTab1", .kind = Kind::TabControl, .left = 150, .top = 2500, .width = 9000, .height = 3000},
    {.name = "SSTab1", .index = 1, .kind = Kind::TabPage, .caption = "II Domicilio de Plantas", .container = "SSTab1"},
    {.name = "SSTab1", .index = 0, .kind = Kind::TabPage, .caption = "I. Datos", .container = "SSTab1"},
    {.name = "Frame3", .kind = Kind::Frame, .caption = "Datos del Representante legal", .left = 135, .top = 540,
     .width = 8000, .height = 2000, .container = "SSTab1", .containerIndex = 0},
    {.name = "lblTel2", .kind = Kind::Label, .caption = "Teléfono", .container = "Frame3"},
    {.name = "txtTelefonoR2", .kind = Kind::TextBox, .label = "lblTel2", .field = "TEL_REPREG", .tab = 6,
     .left = 1100, .top = 300, .width = 1500, .height = 300, .container = "Frame3"},
    {.name = "lblAdm", .kind = Kind::Label, .caption = "Adm. local de recaudación", .container = "Frame3"},
    {.name = "Combo5", .kind = Kind::ComboBox, .label = "lblAdm", .tab = 7, .left = 2200, .top = 1100,
     .width = 2000, .height = 315, .container = "Frame3"},
    {.name = "dbgplantas", .kind = Kind::Grid, .tab = 8, .width = 8000, .height = 1995, .container = "SSTab1",
     .containerIndex = 1},
};
// clang-format on
inline const ui::WindowLayout kSampleLayout = {"frmPrueba", "Ventana de prueba",    10000, 6000,
                                               kSample,     int(std::size(kSample))};

}  // namespace uitest
