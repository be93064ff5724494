# Installation in the places a Debian user expects, and a .deb made by CPack:
#   cmake --install build --prefix /usr/local
#   scripts/package.sh        (build with Debian's hardening flags, then cpack; prints the .deb)
#   scripts/package-test.sh   (lintian, AppStream, then install, start from the menu, purge)

# The project's address and its AppStream identifier, used by the package, its copyright file,
# its changelog and its metadata.
set(ERVALUN_CONTACT "Projet Ervalun <ervalun@example.org>")
set(ERVALUN_APPSTREAM_ID "org.example.ervalun")

set(ERVALUN_GENERATED ${PROJECT_BINARY_DIR}/packaging)

# Debian wants manual pages and the changelog compressed, without a time stamp in them.
find_program(ERVALUN_GZIP gzip REQUIRED)
set(ERVALUN_COMPRESSED)
function(ervalun_compress source target)
    add_custom_command(OUTPUT ${target}
                       COMMAND ${ERVALUN_GZIP} -9 -n -c ${source} > ${target}
                       DEPENDS ${source})
    list(APPEND ERVALUN_COMPRESSED ${target})
    set(ERVALUN_COMPRESSED ${ERVALUN_COMPRESSED} PARENT_SCOPE)
endfunction()

if(TARGET ervalun)
    install(TARGETS ervalun RUNTIME DESTINATION bin)
    # The menu starts the program through the launcher, in the user's own folder.
    install(PROGRAMS ${PROJECT_SOURCE_DIR}/packaging/ervalun-launcher DESTINATION bin)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/ervalun.desktop
            DESTINATION share/applications)
    install(FILES ${PROJECT_SOURCE_DIR}/ui/icons/ervalun.svg
            DESTINATION share/icons/hicolor/scalable/apps)
    install(DIRECTORY ${ERVALUN_ICON_DIR}/ DESTINATION share/icons/hicolor)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/ervalun.metainfo.xml
                   ${ERVALUN_GENERATED}/${ERVALUN_APPSTREAM_ID}.metainfo.xml @ONLY)
    install(FILES ${ERVALUN_GENERATED}/${ERVALUN_APPSTREAM_ID}.metainfo.xml
            DESTINATION share/metainfo)
endif()
# The command-line geodesic cross-check, built by default with or without the dialog.
install(TARGETS ervalun-fix RUNTIME DESTINATION bin)
# The example files, which the launcher copies into a new working folder. They are data, not
# documentation, whatever their names say to lintian.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION share/ervalun/examples)
# The World Magnetic Model the north corrections read (geodesy/magnetic_model.h finds it here).
install(FILES ${ERVALUN_WMM_FILE} DESTINATION share/ervalun/wmm)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION share/lintian/overrides RENAME ervalun)

# Manual pages in English and in French for every installed program.
set(ERVALUN_PROGRAMS)
if(TARGET ervalun)
    list(APPEND ERVALUN_PROGRAMS ervalun ervalun-launcher)
endif()
if(TARGET ervalun-fix)
    list(APPEND ERVALUN_PROGRAMS ervalun-fix)
endif()
foreach(program ${ERVALUN_PROGRAMS})
    foreach(language en fr)
        if(language STREQUAL "en")
            set(source ${PROJECT_SOURCE_DIR}/packaging/man/${program}.1)
            set(destination share/man/man1)
        else()
            set(source ${PROJECT_SOURCE_DIR}/packaging/man/${program}.${language}.1)
            set(destination share/man/${language}/man1)
        endif()
        set(page ${ERVALUN_GENERATED}/man/${language}/${program}.1)
        configure_file(${source} ${page} @ONLY)
        ervalun_compress(${page} ${page}.gz)
        install(FILES ${page}.gz DESTINATION ${destination})
    endforeach()
endforeach()

# The copyright file in Debian's machine-readable format, and the changelog.
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright ${ERVALUN_GENERATED}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog ${ERVALUN_GENERATED}/changelog @ONLY)
ervalun_compress(${ERVALUN_GENERATED}/changelog ${ERVALUN_GENERATED}/changelog.gz)
install(FILES ${ERVALUN_GENERATED}/copyright ${ERVALUN_GENERATED}/changelog.gz
        DESTINATION share/doc/ervalun)
add_custom_target(ervalun_package_files ALL DEPENDS ${ERVALUN_COMPRESSED})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ervalun)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Ervalun")
set(CPACK_PACKAGE_CONTACT "${ERVALUN_CONTACT}")
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
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ERVALUN_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# Modes that do not depend on the packager's umask, as Debian's tools expect.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The Qt libraries come from the program's own links when dpkg-shlibdeps can read them; the X11
# platform plugin Qt loads at run time comes with libqt6gui6, which the program links. The font
# the dialog is laid out in is named here, and Leaflet, which the map page carte.html copies in;
# Qt's French texts are recommended, the program showing Qt's English ones without them.
find_program(ERVALUN_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(ERVALUN_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # PROJ's library comes from the links; its EPSG database (Lambert 93) is proj-data.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, proj-data, libjs-leaflet")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6, libqt6gui6, libqt6core6, \
fonts-dejavu-core, libgeographiclib23, libproj25, proj-data, libjs-leaflet, libstdc++6, libc6")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")

include(CPack)
