// Window layouts as data: one table per window, read by FormWindow to build
// the widgets. Positions are twips (1440 to the inch), relative to the
// container's client area.
#pragma once

namespace ui {

enum class Kind {
    Label,
    TextBox,
    MaskedEdit,  // fixed-width mask; see MaskedEdit
    ComboBox,    // drop-down list with a numeric code per entry (CodedComboBox)
    CheckBox,
    Frame,          // group box with a caption
    TabControl,     // the pages are TabPage entries whose container is the tab control
    TabPage,        // caption = tab text; index = page number
    Grid,           // DataGrid
    PictureButton,  // tool button showing a picture; toolTip = its name for people
    Button,
    ListBox,
    Picture,
    RichText,
    Line,  // an etched horizontal separator across its width
};

struct ControlSpec {
    const char* name;  // control name; arrays share a name and differ by index
    int index = -1;    // element of a control array, -1 when not an array
    Kind kind = Kind::Label;
    const char* caption = nullptr;                 // label/frame/check box/button/tab text, or initial text
    const char* label = nullptr;                   // name of the Label control that labels this one
    const char* field = nullptr;                   // bound field of the window's main data source
    int maxLength = 0;                             // 0: no limit
    int tab = -1;                                  // tab place, -1: none
    int left = 0, top = 0, width = 0, height = 0;  // twips
    const char* container = nullptr;               // name of the containing frame/tab page; nullptr: the window
    int containerIndex = -1;                       // index of the container (tab pages: page number)
    bool enabled = true;
    bool visible = true;
    const char* toolTip = nullptr;
    const char* mask = nullptr;  // MaskedEdit mask, e.g. "&&&&999999aaa"
    const char* font = nullptr;  // family name, nullptr: default
    // For screen readers, where no label or caption on the window names the
    // control (a pick list named by the column it serves, for example).
    const char* accessibleName = nullptr;
    const char* accessibleDescription = nullptr;  // tells apart controls of one name
    // Buttons: Enter anywhere in the window presses the default one (unless
    // another button has the focus), Escape the cancel one.
    bool isDefault = false;
    bool isCancel = false;
};

struct WindowLayout {
    const char* name;     // window name, e.g. "Form1"
    const char* caption;  // window caption
    int width, height;    // client area, twips
    const ControlSpec* controls;
    int count;
};

}  // namespace ui
