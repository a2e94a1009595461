# Installation and the Debian package.
#
#   <prefix>/bin/veliso                                the program
#   <prefix>/share/veliso/pages/                       _sol.htm, _liq.htm, _gaz.htm, veliso.css
#   <prefix>/share/applications/veliso.desktop         starts the program in the pages' folder
#   <prefix>/share/icons/hicolor/<n>x<n>/apps/veliso.png
#   <prefix>/share/metainfo/io.github.veliso.Veliso.metainfo.xml   AppStream description
#   <prefix>/share/man/man1/veliso.1.gz                French manual page
#   <prefix>/share/doc/veliso/copyright, changelog.gz  Debian's copyright and changelog
#
# The program opens its information pages relative to its working directory, so the desktop
# entry sets that directory with its Path key. The entry is written at install time, so
# that it names the prefix actually used (`cmake --install build --prefix /opt/veliso`
# included); CPack installs with the package's prefix /usr under DESTDIR, so the packaged
# entry names /usr.
include(GNUInstallDirs)
# Folders made by the installation are readable by all, whatever the umask of the one who
# builds the package.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS veliso RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(VELISO_PAGES_DIR ${CMAKE_INSTALL_DATADIR}/veliso/pages)
install(FILES
        ${PROJECT_SOURCE_DIR}/pages/_sol.htm
        ${PROJECT_SOURCE_DIR}/pages/_liq.htm
        ${PROJECT_SOURCE_DIR}/pages/_gaz.htm
        ${PROJECT_SOURCE_DIR}/pages/veliso.css
        DESTINATION ${VELISO_PAGES_DIR})

foreach(size 16 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/src/mainwindow/resources/icon-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME veliso.png)
endforeach()

install(CODE "
  set(VELISO_BIN \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/veliso\")
  set(VELISO_PAGES \"\${CMAKE_INSTALL_PREFIX}/${VELISO_PAGES_DIR}\")
  configure_file(\"${PROJECT_SOURCE_DIR}/packaging/veliso.desktop.in\"
                 \"${PROJECT_BINARY_DIR}/packaging/veliso.desktop\" @ONLY)
  file(INSTALL \"${PROJECT_BINARY_DIR}/packaging/veliso.desktop\"
       DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
")

install(FILES ${PROJECT_SOURCE_DIR}/packaging/io.github.veliso.Veliso.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual page and changelog, compressed as Debian wants them: gzip -9, without the name and
# time stamp, so that two builds give the same bytes.
set(VELISO_GZIPPED)
foreach(doc veliso.1 changelog)
  set(out ${PROJECT_BINARY_DIR}/packaging/${doc}.gz)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
    COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" sh ${PROJECT_SOURCE_DIR}/packaging/${doc} ${out}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${doc}
    VERBATIM)
  list(APPEND VELISO_GZIPPED ${out})
endforeach()
add_custom_target(veliso_docs ALL DEPENDS ${VELISO_GZIPPED})
install(FILES ${PROJECT_BINARY_DIR}/packaging/veliso.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
set(VELISO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/veliso)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${VELISO_DOC_DIR})

# cpack -G DEB (in the build folder) builds veliso_<version>_<arch>.deb for /usr.
set(CPACK_PACKAGE_NAME veliso)
set(CPACK_PACKAGE_VENDOR "Équipe Veliso")
set(CPACK_PACKAGE_CONTACT "Équipe Veliso <contact@veliso.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Les trois états de la matière en modèles particulaires animés")
# Debian wants the lines of the long description under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Programme pédagogique : un cristal qui vibre, un liquide qui se tasse et\nun gaz dont les vitesses suivent la loi de Maxwell-Boltzmann, en 3D,\navec leurs pages d'information.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://veliso.example/")
# The package carries the program without its debugging symbols.
set(CPACK_STRIP_FILES ON)
# The program draws with OpenGL; Mesa's software renderer is enough. The measurement window
# plots with Qt Charts. Qt's French catalogue gives its message boxes French buttons ("Oui",
# "Non"). Liberation Sans stands in for Arial; xdg-utils opens the information pages and the
# mail link; Qt's Wayland platform lets the program run natively on a Wayland desktop (without
# it Qt goes through XWayland).
find_program(VELISO_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(VELISO_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri, qt6-translations-l10n")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6widgets6, libqt6gui6, libqt6core6, libqt6charts6, libgl1, libglu1-mesa, libgl1-mesa-dri, qt6-translations-l10n")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, xdg-utils, qt6-wayland")
include(CPack)
