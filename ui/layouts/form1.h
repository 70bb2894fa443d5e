// Layout of the main capture window Form1: every control with its caption,
// label, bound field, limit, tab place, position and start state.
#pragma once

#include "ui/layout.h"

namespace ui {

const WindowLayout& form1Layout();

// Habilita switches the controls whose tab place lies in this range.
inline constexpr int kHabilitaFirstTab = 8;
inline constexpr int kHabilitaLastTab = 34;
// The page of SSTab1 that holds the programme-type boxes and "A N E X O S".
inline constexpr int kForm1SectorsTab = 2;

// Entries of a drop-down list whose texts are fixed: shown text and stored code.
struct CodedEntry {
    const char* text;
    int code;
};

// The type of procedure (Combo1): entry 0 "Programa nuevo", entry 1 "Ampliación".
const CodedEntry* form1Procedures();
int form1ProcedureCount();

// The plants grid dbgplantas: caption and field of each column, in order.
struct GridColumnSpec {
    const char* caption;
    const char* field;
    int maxLength;  // 0: the field's width
};
const GridColumnSpec* form1PlantColumns();
int form1PlantColumnCount();

}  // namespace ui
