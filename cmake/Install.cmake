# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Veliso contributors
# Installation; the Debian package is made from it by debian/rules (scripts/make-deb).
#
#   <prefix>/bin/veliso                                the program
#   <prefix>/share/veliso/pages/                       _sol.htm, _liq.htm, _gaz.htm, veliso.css
#   <prefix>/share/applications/veliso.desktop         the menu entry
#   <prefix>/share/icons/hicolor/<n>x<n>/apps/veliso.png
#   <prefix>/share/metainfo/io.github.veliso.veliso.metainfo.xml   AppStream description
#   <prefix>/share/man/man1/veliso.1                   French manual page
#
# The program finds its pages relative to its own folder (../share/veliso/pages), whatever
# folder it is started in. The desktop entry is written at install time, so that it names the
# prefix actually used (`cmake --install build --prefix /opt/veliso` included).
include(GNUInstallDirs)
# Folders made by the installation are readable by all, whatever the umask of the one who
# builds the package.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS veliso RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES
        ${PROJECT_SOURCE_DIR}/pages/_sol.htm
        ${PROJECT_SOURCE_DIR}/pages/_liq.htm
        ${PROJECT_SOURCE_DIR}/pages/_gaz.htm
        ${PROJECT_SOURCE_DIR}/pages/veliso.css
        DESTINATION ${CMAKE_INSTALL_DATADIR}/veliso/pages)

foreach(size 16 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/src/mainwindow/resources/icon-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME veliso.png)
endforeach()

install(CODE "
  set(VELISO_BIN \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/veliso\")
  configure_file(\"${PROJECT_SOURCE_DIR}/packaging/veliso.desktop.in\"
                 \"${PROJECT_BINARY_DIR}/packaging/veliso.desktop\" @ONLY)
  file(INSTALL \"${PROJECT_BINARY_DIR}/packaging/veliso.desktop\"
       DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
")

install(FILES ${PROJECT_SOURCE_DIR}/packaging/io.github.veliso.veliso.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The package build compresses it (dh_compress), reproducibly.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/veliso.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
