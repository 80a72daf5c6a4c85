# The installed layout on Linux, with GNUInstallDirs paths, so that `cmake --install` alone
# gives a working program under any prefix, and the Debian package that CPack makes of it
# (`make package`). The program finds its data folder relative to its own (src/platform).
set(zelmo_dist ${CMAKE_SOURCE_DIR}/dist)
set(zelmo_datadir ${CMAKE_INSTALL_DATADIR}/zelmo-livetext)
set(zelmo_docdir ${CMAKE_INSTALL_DATADIR}/doc/zelmo-livetext)
set(zelmo_id de.zelmo.LiveText)

install(TARGETS zelmo-livetext zelmo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/data/Tabellen.json ${CMAKE_SOURCE_DIR}/data/Ereignisse.json
              ${CMAKE_SOURCE_DIR}/data/LiveText.json ${CMAKE_SOURCE_DIR}/data/show.jsonl
        DESTINATION ${zelmo_datadir})

install(FILES ${zelmo_dist}/linux/${zelmo_id}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${zelmo_dist}/linux/${zelmo_id}.metainfo.xml
              ${zelmo_dist}/linux/${zelmo_id}.Werkzeug.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Drawn by src/windows/icons/make_icons.py at the sizes the icon theme looks for.
foreach(size 16 24 32 48 64 128 256)
    install(FILES ${zelmo_dist}/linux/icons/${zelmo_id}-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${zelmo_id}.png)
endforeach()

# The receiver service. systemd and systemd-sysusers look below the prefix's lib/ (not the
# multiarch library folder), in /usr/lib as in /usr/local/lib. The unit names the tool and
# the configuration folder for this prefix.
file(READ ${zelmo_dist}/systemd/zelmo-receive@.service zelmo_unit)
string(REPLACE "/usr/bin/zelmo " "${CMAKE_INSTALL_FULL_BINDIR}/zelmo " zelmo_unit "${zelmo_unit}")
string(REPLACE "/etc/zelmo/" "${CMAKE_INSTALL_FULL_SYSCONFDIR}/zelmo/" zelmo_unit "${zelmo_unit}")
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/dist/zelmo-receive@.service CONTENT "${zelmo_unit}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${zelmo_dist}/systemd/zelmo-receive@.service ${zelmo_dist}/linux/changelog)
install(FILES ${CMAKE_BINARY_DIR}/dist/zelmo-receive@.service DESTINATION lib/systemd/system)
install(FILES ${zelmo_dist}/systemd/zelmo.sysusers DESTINATION lib/sysusers.d RENAME zelmo.conf)
# Where the administrator puts one NAME.conf per receiver; the example stays documentation,
# so that no receiver is configured before someone chose its sender.
install(DIRECTORY DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/zelmo)
install(FILES ${zelmo_dist}/systemd/beispiel.conf DESTINATION ${zelmo_docdir}/examples)

# Debian's copyright and changelog; the changelog's version is the package's.
file(STRINGS ${zelmo_dist}/linux/changelog zelmo_changelog_head LIMIT_COUNT 1)
string(REGEX REPLACE "^zelmo-livetext \\(([^)]+)\\).*" "\\1" zelmo_deb_version
                     "${zelmo_changelog_head}")
if(NOT zelmo_deb_version MATCHES "^${PROJECT_VERSION}-([0-9]+)$")
    message(FATAL_ERROR "dist/linux/changelog is at ${zelmo_deb_version}, the project at "
                        "${PROJECT_VERSION}: add a changelog entry for this version")
endif()
set(zelmo_deb_release ${CMAKE_MATCH_1})
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/dist)
execute_process(COMMAND gzip -9nc INPUT_FILE ${zelmo_dist}/linux/changelog
                OUTPUT_FILE ${CMAKE_BINARY_DIR}/dist/changelog.Debian.gz COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${zelmo_dist}/linux/copyright ${CMAKE_BINARY_DIR}/dist/changelog.Debian.gz
        DESTINATION ${zelmo_docdir})

set(ZELMO_PACKAGE_MAINTAINER "Zelmo-LiveText <livetext@zelmo.invalid>"
    CACHE STRING "The Debian package's maintainer, \"Name <address>\"")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelmo-livetext)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${zelmo_deb_release})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZELMO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "graphics data receiver for show-jumping broadcasts")
set(CPACK_PACKAGE_DESCRIPTION
    "Zelmo-LiveText connects to the scoring system's sender, acknowledges every
telegram and writes, as the operator's template says, LiveText data files
with the page to show, or CSV files. The desktop program zelmo-livetext has
a German user interface; the command-line tool zelmo runs the receiver
without a window (also as the systemd service zelmo-receive@NAME), plays
recorded shows, checks templates and measures the whole path.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt needs a platform plugin to open a window at all; the system user comes from sysusers.d.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, systemd | systemd-sysusers")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${zelmo_dist}/linux/postinst ${zelmo_dist}/linux/prerm
                                       ${zelmo_dist}/linux/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                                GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
