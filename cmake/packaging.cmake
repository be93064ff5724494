# Installation in the places a Debian user expects, and a .deb made by CPack:
#   cmake --install build --prefix /usr/local
#   scripts/package.sh        (Release build, then cpack; prints the path of the .deb)

if(TARGET ervalun)
    install(TARGETS ervalun RUNTIME DESTINATION bin)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/ervalun.desktop
            DESTINATION share/applications)
    install(FILES ${PROJECT_SOURCE_DIR}/ui/icons/ervalun.svg
            DESTINATION share/icons/hicolor/scalable/apps)
endif()
# The command-line geodesic cross-check, built by default with or without the dialog.
install(TARGETS ervalun-fix RUNTIME DESTINATION bin)
# The example files: the program reads its files from the current directory, so a user copies
# these into a working folder to try it.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION share/doc/ervalun/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ervalun)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Ervalun")
set(CPACK_PACKAGE_CONTACT "Ervalun <ervalun@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "triangulation d'une position par deux azimuts / two-bearing position fix")
# The summary above is the synopsis line; this is the body under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Ervalun calcule une position au sol à partir de deux points connus et de
l'azimut relevé en chacun, nomme la position connue la plus proche, tient
le journal des calculs et place les trois points sur une carte HTML.
.
Ervalun computes a ground position from two known points and the compass
bearing taken at each, names the nearest known position, keeps a log of
the calculations and places the three points on an HTML map.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Ervalun <ervalun@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)

# The Qt libraries come from the program's own links when dpkg-shlibdeps can read them; the
# platform plugins are loaded at run time, so no link shows them and they are named here, with
# the font the dialog is laid out in.
find_program(ERVALUN_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(ERVALUN_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6, libqt6gui6, libqt6core6, qt6-qpa-plugins, \
fonts-dejavu-core, libgeographiclib23, libstdc++6, libc6")
endif()

include(CPack)
