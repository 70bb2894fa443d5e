# Windows: the program's folder as installed (the executables, the Qt and
# MinGW runtime DLLs, the plugins Qt loads and considera.txt), packed by CPack
# into a portable zip and an NSIS installer. Made by scripts/windows.

# Everything lies in one folder: Windows finds DLLs beside the executable,
# the program starts pack9.exe from its own folder and the help window reads
# considera.txt from there.
install(TARGETS zeltar pack9 zeltar-sql zeltar-verifica RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/data/considera.txt DESTINATION .)

foreach(module Core Gui Widgets PrintSupport)
  install(FILES $<TARGET_FILE:Qt6::${module}> DESTINATION .)
endforeach()
# Plugins go where Qt looks for them beside the executable. The print dialog
# and printer support of Windows are part of Qt6PrintSupport itself.
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
# zeltar --cuestionario writes its files without showing a window.
install(FILES $<TARGET_FILE:Qt6::QOffscreenIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
# Qt's Spanish translation (qtbase_es) is compiled into the program: no
# translations/ folder.

# The compiler's runtime, as the compiler itself finds it.
set(zeltar_runtime_dlls)
foreach(dll libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not find ${dll}")
  endif()
  list(APPEND zeltar_runtime_dlls "${path}")
endforeach()
install(FILES ${zeltar_runtime_dlls} DESTINATION .)

# install(TARGETS) is stripped through CPACK_STRIP_FILES; the DLLs copied as
# files are stripped here (the compiler's libstdc++ alone carries 20 MB of
# symbols).
install(CODE "
  file(GLOB_RECURSE dlls \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.dll\")
  foreach(dll IN LISTS dlls)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${dll}\" RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR \"cannot strip \${dll}\")
    endif()
  endforeach()")

set(CPACK_PACKAGE_NAME "zeltar")
set(CPACK_PACKAGE_VENDOR "ZELTAR")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Disco de Captura para solicitudes ZELTAR")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "zeltar-${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Disco de Captura ZELTAR")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Disco de Captura ZELTAR")
set(CPACK_PACKAGE_EXECUTABLES "zeltar" "Disco de Captura ZELTAR")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR ZIP NSIS)
# One cpack run writes zeltar-3.0-win64.zip and zeltar-3.0-win64-setup.exe.
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_BINARY_DIR}/zeltar-cpack-names.cmake")
file(WRITE "${CPACK_PROJECT_CONFIG_FILE}"
  "if(CPACK_GENERATOR STREQUAL \"NSIS\")\n"
  "  set(CPACK_PACKAGE_FILE_NAME \"${CPACK_PACKAGE_FILE_NAME}-setup\")\n"
  "endif()\n")

# The zip unpacks into one folder, which runs as it is.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)

# The installer: Program Files, a Start-menu entry, an uninstaller and an
# entry under installed programs. It creates no data: the program makes
# C:\ZELTAR on its first start, and the uninstaller leaves it alone.
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "Disco de Captura ZELTAR ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
set(CPACK_NSIS_DISPLAY_NAME "Disco de Captura ZELTAR ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ".")
set(CPACK_NSIS_INSTALLED_ICON_NAME "zeltar.exe")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
# A 64-bit, Unicode installer for a 64-bit program (NSIS's default is a
# 32-bit one, which Wine without its 32-bit half cannot run).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")

include(CPack)
