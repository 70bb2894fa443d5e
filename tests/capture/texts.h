// The messages of the main window's checks, as the operator reads them; one
// copy for the pure tables and the widget tests.
#pragma once

namespace texts {

inline const char* const kLen = "El RFC no puede ser menor de 13";
inline const char* const kFirst = "El primer digito del RFC debe espacio ";
inline const char* const kL2 = "El  2 digito del RFC debe ser letra ";
inline const char* const kL3 = "El  3 digito del RFC debe ser letra ";
inline const char* const kMonth = "El valor del mes del RFC es incorrecto";
inline const char* const kDay = "El valor del dia del RFC es incorrecto";
inline const char* const kLast = "El ultimo digito del RFC debe ser A ó del 0 al 9";

inline const char* const kTipo = "Seleccione un tipo de programa";
inline const char* const kAmbos = "Es necesario el año y número de programa";
inline const char* const kAnio0 = "El año de zeltar no puede ser cero";
inline const char* const kAnio1980 = "El año de zeltar no puede ser menor a 1980";
inline const char* const kNum0 = "El número de zeltar no puede ser cero";

// ValidaRequeridos, in the order it shows them (index 0 unused).
inline const char* const kReq[14] = {
    nullptr,
    "El año del registro ZELTAR es un dato requerido",
    "El numero del registro ZELTAR es un dato requerido",
    "La razón social de la empresa es un dato requerido",
    "La calle de la empresa es un dato requerido",
    "El codigo postal de la empresa es un dato requerido",
    "La colonia de la empresa es un dato requerido",
    "El telefono de la empresa es un dato requerido",
    "La administracion de recaudación de la empresa es un dato requerido",
    "El tipo de programa de la empresa es un dato requerido",
    "El nombre del representante legal es un dato requerido",
    "El cargo del representante legal es un dato requerido",
    "El Telefono del representante legal es un dato requerido",
    "El email del representante legal es un dato requerido",
};

} // namespace texts
