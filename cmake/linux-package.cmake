# Linux: the program installed in the usual places (cmake --install), and the
# Debian package made of that tree by CPack (scripts/package).
#   bin/zeltar, bin/zeltar-sql, bin/zeltar-verifica
#   libexec/zeltar/pack9             started by the program, not by people
#   share/zeltar/considera.txt       shown by the help window
#   share/applications, share/icons, share/metainfo: the menu entry
# The program finds pack9 and considera.txt from its own bin/ (app/programfiles).

install(TARGETS zeltar zeltar-sql zeltar-verifica RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS pack9 RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/zeltar)
install(FILES ${PROJECT_SOURCE_DIR}/data/considera.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/zeltar)
install(FILES ${PROJECT_SOURCE_DIR}/data/linux/zeltar.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/linux/zeltar.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/zeltar.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/data/icons/zeltar-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME zeltar.png)
endforeach()

# The package: zeltar_3.0_amd64.deb. Its dependencies are read from the
# libraries the executables link (dpkg-shlibdeps); Qt's platform plugins and
# the metric twin of Arial, which the window layouts are drawn in, are named
# here because no executable links them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zeltar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Disco de Captura para solicitudes ZELTAR")
set(CPACK_PACKAGE_DESCRIPTION "Captura la solicitud de una empresa al programa ZELTAR de la Secretaría de Quentaria
(datos generales, plantas, anexos y productores indirectos), imprime el cuestionario
y graba el disco con las tablas para la Secretaría.")
set(CPACK_PACKAGE_CONTACT "Equipo ZELTAR <zeltar@localhost>")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
include(CPack)
