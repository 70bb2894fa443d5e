/* Stands in for the tablet header missing from the distribution's qtbase
 * source: Wine's wintab.h, with the two macros it takes from Wine's own
 * headers and the calling convention Qt expects of the original header. */
#ifndef ZELTAR_WINTAB_WRAPPER_H
#define ZELTAR_WINTAB_WRAPPER_H
#ifndef WINELIB_NAME_AW
#ifdef UNICODE
#define WINELIB_NAME_AW(name) name##W
#else
#define WINELIB_NAME_AW(name) name##A
#endif
#endif
#ifndef DECL_WINELIB_TYPE_AW
#define DECL_WINELIB_TYPE_AW(type) typedef WINELIB_NAME_AW(type) type;
#endif
#ifndef API
#define API WINAPI
#endif
#include "wine-wintab.h"
#endif
