// The statements that more than one window opens its data sources on, kept
// once so that the annexes window and the main window's deletions always
// select the same rows.
#pragma once

namespace store::statements {

// The annexes window's sector lists: direct producer (with a key) and
// indirect producer.
inline constexpr const char* kDirectSectors =
    "select * from sector where cve_sector <> Null and (idsector = 1 ) order by idsector, cve_sector";
inline constexpr const char* kIndirectSectors = "select * from sector where idsector = 2 order by cve_sector ";

// The goods of the annexes, by element of dtsanexo1: annex 1 goods to
// produce, annex 1 goods to import, annex 2 goods of the indirect producer.
inline constexpr const char* kAnexo1[3] = {
    "select * from mercbi where anexo=1 and tipobien = 1 order by idsector, fraccion",
    "select * from mercbi where anexo=1 and tipobien = 2 order by idsector, fraccion",
    "select * from mercbi where tipo_progr = 2 and anexo=2 and tipobien = 2 order by idsector, fraccion ",
};

// Every sector row and every producer, as the deletions walk them.
inline constexpr const char* kAllSectors = "select * from sector";
inline constexpr const char* kAllProducers = "select * from prodabas ";

}  // namespace store::statements
