# Cross build for 64-bit Windows with Debian's MinGW-w64 (the POSIX-threads
# compilers, which std::thread needs):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# Tests and test discovery run under Wine when it is installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZELTAR_MINGW_TRIPLET x86_64-w64-mingw32 CACHE STRING "Target triplet of the MinGW-w64 tools")
set(ZELTAR_MINGW_SUFFIX -posix CACHE STRING "Suffix of the compilers' names (-posix or -win32)")

set(CMAKE_C_COMPILER ${ZELTAR_MINGW_TRIPLET}-gcc${ZELTAR_MINGW_SUFFIX})
set(CMAKE_CXX_COMPILER ${ZELTAR_MINGW_TRIPLET}-g++${ZELTAR_MINGW_SUFFIX})
set(CMAKE_RC_COMPILER ${ZELTAR_MINGW_TRIPLET}-windres)

# Libraries and headers come from the target's tree (and any prefix added to
# CMAKE_FIND_ROOT_PATH, such as a Qt built for Windows); programs from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${ZELTAR_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's runtime (libgcc, libstdc++, winpthread) linked into each
# executable, so that a program runs on a machine without the compiler's DLLs.
# A build that links DLLs made with the same compiler (Qt) may turn it off and
# ship libstdc++-6.dll, libgcc_s_seh-1.dll and libwinpthread-1.dll instead.
option(ZELTAR_MINGW_STATIC_RUNTIME "Link the MinGW runtime statically" ON)
if(ZELTAR_MINGW_STATIC_RUNTIME)
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
endif()

if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(ZELTAR_WINE NAMES wine64 wine)
  if(ZELTAR_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ZELTAR_WINE})
  endif()
endif()
