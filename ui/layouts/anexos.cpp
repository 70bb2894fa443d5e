#include "ui/layouts/anexos.h"

#include <iterator>

namespace ui {
namespace {

// clang-format off
// Containers come before what they hold. The pick lists stay hidden until a
// goods grid drops one under its SECTOR cell; their place here is only where
// they wait.
const ControlSpec kControls[] = {
    {.name = "Anexosf", .index = 1, .kind = Kind::TabControl, .left = 120, .top = 120, .width = 11220,
     .height = 7140},
    {.name = "tabAnexo", .index = 0, .kind = Kind::TabPage, .caption = "Anexo 1", .container = "Anexosf",
     .containerIndex = 1},
    {.name = "tabAnexo", .index = 1, .kind = Kind::TabPage, .caption = "Anexo 2", .container = "Anexosf",
     .containerIndex = 1},
    {.name = "tabAnexo", .index = 2, .kind = Kind::TabPage, .caption = "Anexo 3", .container = "Anexosf",
     .containerIndex = 1},

    // Anexo 1: the direct producer.
    {.name = "Label4", .kind = Kind::Label, .caption = "PRODUCTOR DIRECTO",
     .left = 240, .top = 480, .width = 4200, .height = 255, .container = "tabAnexo", .containerIndex = 0},
    {.name = "grdMercyProd", .index = 1, .kind = Kind::Grid, .caption = "SECTORES", .tab = 0,
     .left = 240, .top = 780, .width = 4200, .height = 2700, .container = "tabAnexo", .containerIndex = 0},
    {.name = "Label19", .index = 1, .kind = Kind::Label,
     .caption = "(<--  --> )Desplazarse entre las columnas, (Flecha arriba-Flecha abajo) Actualizar registro",
     .left = 240, .top = 3600, .width = 4200, .height = 510, .container = "tabAnexo", .containerIndex = 0},
    {.name = "Label1", .kind = Kind::Label, .caption = "Label1",
     .left = 240, .top = 4200, .width = 4200, .height = 255, .container = "tabAnexo", .containerIndex = 0},
    {.name = "dbganexo1", .kind = Kind::Grid, .caption = "MERCANCIAS A PRODUCIR", .tab = 1,
     .left = 4560, .top = 480, .width = 6480, .height = 3000, .container = "tabAnexo", .containerIndex = 0},
    // dbganexo1 grows over this label's place for a maquila programme.
    {.name = "Label19", .index = 2, .kind = Kind::Label,
     .caption = "Señale el sector para el cual captura los bienes a importar",
     .left = 4560, .top = 3600, .width = 6480, .height = 255, .container = "tabAnexo", .containerIndex = 0},
    {.name = "dbganexo2", .kind = Kind::Grid, .caption = "BIENES A IMPORTAR", .tab = 2,
     .left = 4560, .top = 4560, .width = 6480, .height = 1800, .container = "tabAnexo", .containerIndex = 0},
    {.name = "List1", .kind = Kind::ListBox, .left = 4560, .top = 1200, .width = 900, .height = 1500,
     .container = "tabAnexo", .containerIndex = 0, .visible = false, .accessibleName = "SECTOR",
     .accessibleDescription = "MERCANCIAS A PRODUCIR"},
    {.name = "List2", .kind = Kind::ListBox, .left = 4560, .top = 4800, .width = 900, .height = 1400,
     .container = "tabAnexo", .containerIndex = 0, .visible = false, .accessibleName = "SECTOR",
     .accessibleDescription = "BIENES A IMPORTAR"},
    {.name = "Picture1", .kind = Kind::Picture, .left = 240, .top = 6480, .width = 315, .height = 510,
     .container = "tabAnexo", .containerIndex = 0},
    {.name = "Label2", .index = 0, .kind = Kind::Label,
     .caption = "Indica que el renglón se está editando pero se actualizará hasta moverse con flecha abajo o arriba",
     .left = 600, .top = 6480, .width = 10440, .height = 255, .container = "tabAnexo", .containerIndex = 0},
    {.name = "Label3", .kind = Kind::Label, .caption = "Indica el último registro",
     .left = 600, .top = 6735, .width = 10440, .height = 255, .container = "tabAnexo", .containerIndex = 0},

    // Anexo 2: the indirect producer.
    {.name = "Label5", .kind = Kind::Label, .caption = "PRODUCTOR INDIRECTO",
     .left = 240, .top = 480, .width = 4200, .height = 255, .container = "tabAnexo", .containerIndex = 1},
    {.name = "grdMercyProd", .index = 0, .kind = Kind::Grid, .caption = "S E C T O R E S", .tab = 3,
     .left = 240, .top = 780, .width = 4200, .height = 5580, .container = "tabAnexo", .containerIndex = 1},
    {.name = "dbganexo3", .kind = Kind::Grid, .caption = "BIENES A PRODUCIR", .tab = 4,
     .left = 4560, .top = 480, .width = 6480, .height = 5880, .container = "tabAnexo", .containerIndex = 1},
    {.name = "List3", .kind = Kind::ListBox, .left = 4560, .top = 1200, .width = 900, .height = 1400,
     .container = "tabAnexo", .containerIndex = 1, .visible = false, .accessibleName = "SECTOR",
     .accessibleDescription = "BIENES A PRODUCIR"},
    {.name = "List4", .kind = Kind::ListBox, .left = 5520, .top = 1200, .width = 900, .height = 1400,
     .container = "tabAnexo", .containerIndex = 1, .visible = false, .accessibleName = "SECTOR",
     .accessibleDescription = "Anexo 2"},

    // Anexo 3: the register of indirect producers, named by its legend.
    {.name = "Label6", .kind = Kind::Label, .caption = "REGISTRO DE PRODUCTOR INDIRECTO",
     .left = 240, .top = 480, .width = 10800, .height = 255, .container = "tabAnexo", .containerIndex = 2},
    {.name = "dbgProdAbas", .kind = Kind::Grid, .label = "Label6", .tab = 5,
     .left = 240, .top = 780, .width = 10800, .height = 5580, .container = "tabAnexo", .containerIndex = 2},

    // Legends below the tab control, for the grids of every tab.
    {.name = "Label2", .index = 1, .kind = Kind::Label,
     .caption = "Indica que el renglon se esta editando pero se actualizara hasta moverse con flecha a bajo o arriba",
     .left = 240, .top = 7320, .width = 10980, .height = 255},
    {.name = "Label2", .index = 2, .kind = Kind::Label,
     .caption = "Indica que el renglon se esta editando pero se actualizara hasta moverse con flecha a bajo o arriba",
     .left = 240, .top = 7600, .width = 10980, .height = 255},
};

const WindowLayout kLayout{"Anexos", "Anexos", 11460, 7980, kControls, static_cast<int>(std::size(kControls))};

const GridColumnSpec kSectorColumns[] = {
    {"CLAVE SECTOR", "CVE_SECTOR", 0},
    {"DESCRIPCION", "DESCRIPCIO", 0},
    {"idsector", "IDSECTOR", 0},
};

const GridColumnSpec kGoodsColumns[] = {
    {"TIPO_PROGR", "TIPO_PROGR", 0}, {"ANEXO", "ANEXO", 0},           {"SECTOR", "IDSECTOR", 0},
    {"FRACCION", "FRACCION", 0},     {"DESCRIPCION", "DESCRIPCIO", 0}, {"TIPOBIEN", "TIPOBIEN", 0},
};

const GridColumnSpec kProducerColumns[] = {
    {"SOLZELTAR", "SOLZELTAR", 0},
    {"NOMBRE", "NOMBRE", 0},
    {"RFC", "RFC", 0},
    {"FECACTUALI", "FECACTUALI", 0},
};
// clang-format on

}  // namespace

const WindowLayout& anexosLayout() { return kLayout; }

const GridColumnSpec* anexosSectorColumns() { return kSectorColumns; }
int anexosSectorColumnCount() { return static_cast<int>(std::size(kSectorColumns)); }
const GridColumnSpec* anexosGoodsColumns() { return kGoodsColumns; }
int anexosGoodsColumnCount() { return static_cast<int>(std::size(kGoodsColumns)); }
const GridColumnSpec* anexosProducerColumns() { return kProducerColumns; }
int anexosProducerColumnCount() { return static_cast<int>(std::size(kProducerColumns)); }

}  // namespace ui
