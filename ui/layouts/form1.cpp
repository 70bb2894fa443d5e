#include "ui/layouts/form1.h"

#include <iterator>

namespace ui {
namespace {

// clang-format off
// The order of this table is the window's control order (Habilita walks it);
// containers come before what they hold. Labels of hidden controls are hidden
// with them.
const ControlSpec kControls[] = {
    // The row of picture buttons at the top, by element.
    {.name = "Command1", .index = 0, .kind = Kind::PictureButton, .tab = 29,
     .left = 2520, .top = 0, .width = 375, .height = 495, .toolTip = "Borrar toda la información"},
    {.name = "Command1", .index = 1, .kind = Kind::PictureButton, .tab = 31,
     .left = 6256, .top = 0, .width = 375, .height = 495, .toolTip = "Grabar datos"},
    {.name = "Command1", .index = 2, .kind = Kind::PictureButton, .tab = 32,
     .left = 3788, .top = 0, .width = 375, .height = 495, .toolTip = "Generar disco  para Quentaria"},
    {.name = "Command1", .index = 3, .kind = Kind::PictureButton, .tab = 33,
     .left = 9936, .top = 0, .width = 375, .height = 495, .toolTip = "Borra Anexos"},
    {.name = "Command1", .index = 4, .kind = Kind::PictureButton, .tab = 34,
     .left = 8724, .top = 0, .width = 375, .height = 495, .toolTip = "Consideraciones generales"},
    {.name = "Command1", .index = 5, .kind = Kind::PictureButton, .tab = 35,
     .left = 6825, .top = 75, .width = 375, .height = 450, .enabled = false, .visible = false,
     .toolTip = "Cancelar cambios"},
    {.name = "Command1", .index = 6, .kind = Kind::PictureButton, .tab = 36,
     .left = 1320, .top = 0, .width = 375, .height = 495, .toolTip = "Editar Datos"},
    {.name = "Command1", .index = 7, .kind = Kind::PictureButton, .tab = 37,
     .left = 5022, .top = 0, .width = 375, .height = 495, .toolTip = "Imprimir solicitud"},
    {.name = "Command1", .index = 9, .kind = Kind::PictureButton, .tab = 60,
     .left = 7490, .top = 0, .width = 375, .height = 495, .toolTip = "Acerca de.."},

    // Identification area.
    {.name = "lblRfc", .kind = Kind::Label, .caption = "RFC",
     .left = 360, .top = 660, .width = 450, .height = 255},
    {.name = "MaskEdBox1", .kind = Kind::MaskedEdit, .label = "lblRfc", .field = "RFC", .maxLength = 13,
     .tab = 1, .left = 855, .top = 630, .width = 1695, .height = 300, .mask = "&&&&999999aaa"},
    {.name = "Label1", .kind = Kind::Label, .caption = "Año ZELTAR",
     .left = 2790, .top = 660, .width = 1125, .height = 255},
    {.name = "txtProg1", .kind = Kind::TextBox, .label = "Label1", .field = "PROG1P", .maxLength = 4,
     .tab = 2, .left = 3960, .top = 630, .width = 855, .height = 300, .toolTip = "Año del Registro"},
    {.name = "LblNumpro", .kind = Kind::Label, .caption = "Número ZELTAR",
     .left = 5160, .top = 675, .width = 1515, .height = 255},
    {.name = "txtProg2", .kind = Kind::TextBox, .label = "LblNumpro", .field = "PROG2P", .maxLength = 4,
     .tab = 3, .left = 6720, .top = 645, .width = 1215, .height = 300},
    {.name = "lblNumAcre", .kind = Kind::Label, .caption = "No. de acreditamiento",
     .left = 8040, .top = 660, .width = 1005, .height = 255, .visible = false},
    {.name = "txtacredita", .kind = Kind::TextBox, .caption = "1.6", .label = "lblNumAcre",
     .field = "ACREDITA", .maxLength = 10, .tab = 4, .left = 9090, .top = 630, .width = 1695,
     .height = 300, .visible = false},
    {.name = "lblTipotramite", .kind = Kind::Label, .caption = "Tipo de Trámite",
     .left = 360, .top = 1050, .width = 1515, .height = 255},
    {.name = "Combo1", .kind = Kind::ComboBox, .label = "lblTipotramite", .tab = 5,
     .left = 1920, .top = 1010, .width = 1815, .height = 315},
    {.name = "Label4", .kind = Kind::Label, .caption = "Año Programa Maquila",
     .left = 3960, .top = 990, .width = 1635, .height = 255, .visible = false},
    {.name = "txtañomaquila", .kind = Kind::MaskedEdit, .label = "Label4", .maxLength = 4, .tab = 79,
     .left = 5640, .top = 960, .width = 975, .height = 255, .visible = false, .mask = "####"},
    {.name = "Label5", .kind = Kind::Label, .caption = "Numero de Maquila",
     .left = 7440, .top = 990, .width = 1635, .height = 255, .visible = false},
    {.name = "txtnummaquila", .kind = Kind::MaskedEdit, .label = "Label5", .maxLength = 4, .tab = 80,
     .left = 9120, .top = 960, .width = 1335, .height = 255, .visible = false, .mask = "####"},

    // Frame1: the company.
    {.name = "Frame1", .kind = Kind::Frame, .caption = "Datos Generales",
     .left = 180, .top = 1400, .width = 10590, .height = 1485},
    {.name = "lblRazonSoc", .kind = Kind::Label, .caption = "Razón  Social:",
     .left = 180, .top = 270, .width = 1935, .height = 255, .container = "Frame1"},
    {.name = "txtApePat1", .kind = Kind::TextBox, .label = "lblRazonSoc", .field = "APEPATRAZ",
     .maxLength = 100, .tab = 75, .left = 2160, .top = 240, .width = 7335, .height = 300,
     .container = "Frame1"},
    {.name = "lblApMaterno", .kind = Kind::Label, .caption = "Apellido Materno:",
     .left = 9540, .top = 240, .width = 1000, .height = 255, .container = "Frame1", .visible = false},
    {.name = "txtApemat1", .kind = Kind::TextBox, .label = "lblApMaterno", .field = "APEMAT",
     .maxLength = 25, .tab = 6, .left = 9135, .top = 630, .width = 240, .height = 315,
     .container = "Frame1", .visible = false},
    {.name = "lblNombre", .kind = Kind::Label, .caption = "Nombre(s):",
     .left = 9540, .top = 960, .width = 1000, .height = 255, .container = "Frame1", .visible = false},
    {.name = "txtnombre1", .kind = Kind::TextBox, .label = "lblNombre", .field = "NOMBRE",
     .maxLength = 25, .tab = 7, .left = 10170, .top = 630, .width = 210, .height = 315,
     .container = "Frame1", .visible = false},
    {.name = "lblEmail", .kind = Kind::Label, .caption = "Correo Electrónico:",
     .left = 180, .top = 630, .width = 1935, .height = 255, .container = "Frame1"},
    {.name = "txtEmail1", .kind = Kind::TextBox, .label = "lblEmail", .field = "EMAIL", .maxLength = 50,
     .tab = 74, .left = 2160, .top = 600, .width = 7335, .height = 300, .container = "Frame1"},
    {.name = "lblActividad", .kind = Kind::Label, .caption = "Actividad Principal",
     .left = 180, .top = 1000, .width = 1935, .height = 255, .container = "Frame1"},
    {.name = "cmbActividad", .kind = Kind::ComboBox, .label = "lblActividad", .tab = 76,
     .left = 2160, .top = 960, .width = 7800, .height = 315, .container = "Frame1"},

    // The tabbed area and its four pages.
    {.name = "SSTab1", .kind = Kind::TabControl, .left = 15, .top = 2970, .width = 10995, .height = 3435},
    {.name = "SSTab1", .index = 0, .kind = Kind::TabPage, .caption = "I. Datos Generales",
     .container = "SSTab1"},
    {.name = "SSTab1", .index = 1, .kind = Kind::TabPage, .caption = "II Domicilio de Plantas",
     .container = "SSTab1"},
    {.name = "SSTab1", .index = 2, .kind = Kind::TabPage, .caption = "III y IV Tipo de Programa y Representante",
     .container = "SSTab1"},
    {.name = "SSTab1", .index = 3, .kind = Kind::TabPage, .caption = "SECTORES", .container = "SSTab1"},

    // Tab 0: the fiscal address.
    {.name = "Frame4", .kind = Kind::Frame, .caption = "Domicilio Fiscal", .left = 135, .top = 540,
     .width = 10290, .height = 2490, .container = "SSTab1", .containerIndex = 0},
    {.name = "lblCalle", .kind = Kind::Label, .caption = "Calle y No.",
     .left = 45, .top = 450, .width = 915, .height = 255, .container = "Frame4"},
    {.name = "txtCalle", .kind = Kind::TextBox, .label = "lblCalle", .field = "CALLEYNO", .maxLength = 254,
     .tab = 8, .left = 990, .top = 420, .width = 4815, .height = 300, .container = "Frame4",
     .enabled = false},
    {.name = "lblColonia", .kind = Kind::Label, .caption = "Colonia",
     .left = 5880, .top = 450, .width = 1065, .height = 255, .container = "Frame4"},
    {.name = "txtColonia", .kind = Kind::TextBox, .label = "lblColonia", .field = "COLONIA", .maxLength = 30,
     .tab = 9, .left = 6975, .top = 420, .width = 2895, .height = 300, .container = "Frame4",
     .enabled = false},
    {.name = "lblCp", .kind = Kind::Label, .caption = "CP",
     .left = 45, .top = 810, .width = 915, .height = 255, .container = "Frame4"},
    {.name = "txtCP", .kind = Kind::TextBox, .label = "lblCp", .field = "CP", .maxLength = 5,
     .tab = 10, .left = 990, .top = 780, .width = 2295, .height = 300, .container = "Frame4",
     .enabled = false},
    {.name = "lblEstado", .kind = Kind::Label, .caption = "Estado",
     .left = 5880, .top = 810, .width = 1065, .height = 255, .container = "Frame4"},
    {.name = "txtEstado", .kind = Kind::TextBox, .label = "lblEstado", .field = "ESTADO", .maxLength = 30,
     .tab = 11, .left = 6975, .top = 780, .width = 2895, .height = 300, .container = "Frame4",
     .enabled = false},
    {.name = "lblCiudad", .kind = Kind::Label, .caption = "Ciudad",
     .left = 45, .top = 1170, .width = 915, .height = 255, .container = "Frame4"},
    {.name = "txtCiudad", .kind = Kind::TextBox, .label = "lblCiudad", .field = "CIUDAD", .maxLength = 60,
     .tab = 12, .left = 990, .top = 1140, .width = 4815, .height = 300, .container = "Frame4",
     .enabled = false},
    // Two lines: the caption is wider than the room left of the list.
    {.name = "lblAdmLocal", .kind = Kind::Label, .caption = "Adm. local de recaudación",
     .left = 5835, .top = 1080, .width = 1125, .height = 420, .container = "Frame4"},
    {.name = "Combo5", .kind = Kind::ComboBox, .label = "lblAdmLocal", .tab = 13,
     .left = 6975, .top = 1140, .width = 2775, .height = 315, .container = "Frame4", .enabled = false},
    {.name = "lblMuncipio", .kind = Kind::Label, .caption = "Del/Mun.",
     .left = 45, .top = 1530, .width = 915, .height = 255, .container = "Frame4"},
    {.name = "txtDelMun", .kind = Kind::TextBox, .label = "lblMuncipio", .field = "DELMUN", .maxLength = 40,
     .tab = 14, .left = 990, .top = 1500, .width = 4815, .height = 300, .container = "Frame4",
     .enabled = false},
    {.name = "lblFax", .kind = Kind::Label, .caption = "Fax",
     .left = 5880, .top = 1530, .width = 1065, .height = 255, .container = "Frame4"},
    {.name = "txtfax", .kind = Kind::TextBox, .label = "lblFax", .field = "FAX", .maxLength = 15,
     .tab = 15, .left = 6975, .top = 1500, .width = 2895, .height = 300, .container = "Frame4",
     .enabled = false},
    {.name = "lblTelefono", .kind = Kind::Label, .caption = "Teléfono",
     .left = 45, .top = 1890, .width = 915, .height = 255, .container = "Frame4"},
    {.name = "txtTelefono", .kind = Kind::TextBox, .label = "lblTelefono", .field = "TELEFONO",
     .maxLength = 15, .tab = 16, .left = 990, .top = 1860, .width = 3015, .height = 300,
     .container = "Frame4", .enabled = false},
    {.name = "txtAdmLocal", .kind = Kind::TextBox, .field = "COLONIA", .maxLength = 30, .tab = 64,
     .left = 6975, .top = 1860, .width = 2895, .height = 300, .container = "Frame4", .visible = false},

    // Tab 1: the plants.
    {.name = "dbgplantas", .kind = Kind::Grid, .tab = 17, .left = 270, .top = 630, .width = 10440,
     .height = 1995, .container = "SSTab1", .containerIndex = 1},
    {.name = "Picture1", .kind = Kind::Picture, .left = 270, .top = 2700, .width = 375, .height = 555,
     .container = "SSTab1", .containerIndex = 1},
    {.name = "Label2", .index = 0, .kind = Kind::Label,
     .caption = "Indica que el renglón se está editando pero se actualizará hasta moverse con flecha abajo o arriba",
     .left = 675, .top = 2730, .width = 9900, .height = 255, .container = "SSTab1", .containerIndex = 1},
    {.name = "Label3", .kind = Kind::Label, .caption = "Indica el último registro",
     .left = 675, .top = 3030, .width = 9900, .height = 255, .container = "SSTab1", .containerIndex = 1},

    // Tab 2: programme type and legal representative.
    {.name = "Frame5", .kind = Kind::Frame, .caption = "Tipo de Programa", .left = 315, .top = 525,
     .width = 10095, .height = 555, .container = "SSTab1", .containerIndex = 2},
    {.name = "chkProdFinal", .kind = Kind::CheckBox, .caption = "Productor Directo", .tab = 18,
     .left = 375, .top = 195, .width = 1905, .height = 300, .container = "Frame5", .enabled = false},
    {.name = "chkrodIndirecto", .kind = Kind::CheckBox, .caption = "Productor Indirecto", .tab = 19,
     .left = 3975, .top = 195, .width = 2265, .height = 240, .container = "Frame5", .enabled = false},
    {.name = "chkAbastecedor", .kind = Kind::CheckBox, .caption = "Abastecedor", .tab = 20,
     .left = 7740, .top = 195, .width = 1905, .height = 330, .container = "Frame5", .visible = false},
    {.name = "TipoProg", .kind = Kind::TextBox, .caption = "0", .field = "TIPOPROG", .tab = 21,
     .left = 9375, .top = 195, .width = 465, .height = 315, .container = "Frame5", .visible = false},
    {.name = "Frame3", .kind = Kind::Frame, .caption = "Datos del Representante legal", .left = 270,
     .top = 1170, .width = 10095, .height = 2025, .container = "SSTab1", .containerIndex = 2},
    {.name = "lblApRepLegal", .kind = Kind::Label, .caption = "Apellido Paterno",
     .left = 270, .top = 240, .width = 3135, .height = 225, .container = "Frame3"},
    {.name = "txtApePatR2", .kind = Kind::TextBox, .label = "lblApRepLegal", .field = "APEPREPLEG",
     .maxLength = 25, .tab = 22, .left = 270, .top = 480, .width = 3135, .height = 300,
     .container = "Frame3", .enabled = false},
    {.name = "lblAmRepLegal", .kind = Kind::Label, .caption = "Apellido Materno",
     .left = 3600, .top = 255, .width = 3015, .height = 225, .container = "Frame3"},
    {.name = "txtApeMatR2", .kind = Kind::TextBox, .label = "lblAmRepLegal", .field = "APEMREPLEG",
     .maxLength = 25, .tab = 23, .left = 3600, .top = 495, .width = 3015, .height = 300,
     .container = "Frame3", .enabled = false},
    {.name = "lblNomRepLegal", .kind = Kind::Label, .caption = "Nombre(s)",
     .left = 6840, .top = 240, .width = 2895, .height = 225, .container = "Frame3"},
    {.name = "txtNombreR2", .kind = Kind::TextBox, .label = "lblNomRepLegal", .field = "NOMBREREPL",
     .maxLength = 25, .tab = 24, .left = 6840, .top = 480, .width = 2895, .height = 300,
     .container = "Frame3", .enabled = false},
    {.name = "lblcargo", .kind = Kind::Label, .caption = "Cargo o Puesto",
     .left = 270, .top = 870, .width = 1845, .height = 255, .container = "Frame3"},
    {.name = "txtcargo", .kind = Kind::TextBox, .label = "lblcargo", .field = "CARGO", .tab = 25,
     .left = 2160, .top = 840, .width = 5865, .height = 300, .container = "Frame3"},
    {.name = "lblTelRepLegal", .kind = Kind::Label, .caption = "Teléfono",
     .left = 270, .top = 1230, .width = 1845, .height = 255, .container = "Frame3"},
    {.name = "txtTelefonoR2", .kind = Kind::TextBox, .label = "lblTelRepLegal", .field = "TEL_REPREG",
     .maxLength = 25, .tab = 26, .left = 2160, .top = 1200, .width = 3015, .height = 300,
     .container = "Frame3", .enabled = false},
    {.name = "lblFaxRepLegal", .kind = Kind::Label, .caption = "Fax",
     .left = 5640, .top = 1230, .width = 675, .height = 255, .container = "Frame3"},
    {.name = "txtFaxR2", .kind = Kind::TextBox, .label = "lblFaxRepLegal", .field = "FAXREP",
     .maxLength = 25, .tab = 27, .left = 6360, .top = 1200, .width = 2895, .height = 300,
     .container = "Frame3", .enabled = false},
    {.name = "lblEmailRepLegal", .kind = Kind::Label, .caption = "Correo Electrónico:",
     .left = 270, .top = 1590, .width = 1845, .height = 255, .container = "Frame3"},
    {.name = "EMAILREP", .kind = Kind::TextBox, .label = "lblEmailRepLegal", .field = "EMAILREPL",
     .maxLength = 50, .tab = 28, .left = 2160, .top = 1560, .width = 7335, .height = 300,
     .container = "Frame3"},

    // Tab 3: the annexes.
    {.name = "Command2", .kind = Kind::Button, .caption = "A N E X O S", .tab = 30, .left = 2880,
     .top = 1305, .width = 4350, .height = 930, .container = "SSTab1", .containerIndex = 3,
     .font = "MS Serif"},
};

const WindowLayout kLayout{"Form1", "ZELTAR Ver 3.0", 11130, 6555, kControls,
                           static_cast<int>(std::size(kControls))};

const CodedEntry kProcedures[] = {
    {"Programa nuevo", 1},
    {"Ampliación", 2},
};

// CP takes a sixth digit, also in an older table whose field holds five, so
// that the row check, not the editor, tells the operator about a long postal
// code; no more than the field holds in a table we create.
const GridColumnSpec kPlantColumns[] = {
    {"CALLE Y NUM.", "CALLE", 0},  {"CP", "CP", 6},            {"COLONIA", "COLONIA", 0},
    {"ESTADO", "ESTADO", 0},       {"MUNICIPIO/DEL", "MUNICIPIO", 0}, {"CIUDAD", "CIUDAD", 0},
    {"TEL", "TEL", 0},             {"FAX", "FAX", 0},
};
// clang-format on

}  // namespace

const WindowLayout& form1Layout() { return kLayout; }

const CodedEntry* form1Procedures() { return kProcedures; }
int form1ProcedureCount() { return static_cast<int>(std::size(kProcedures)); }

const GridColumnSpec* form1PlantColumns() { return kPlantColumns; }
int form1PlantColumnCount() { return static_cast<int>(std::size(kPlantColumns)); }

}  // namespace ui
