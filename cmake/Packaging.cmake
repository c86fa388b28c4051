# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` lays out and how CPack turns it into a Debian package.
# The package preset builds with the prefix /usr, so the program finds its data folder
# (/usr/share/korvani) where the package puts it.
include(GNUInstallDirs)

set(KORVANI_DATA ${PROJECT_SOURCE_DIR}/data)
set(KORVANI_DEB_RELEASE 1)
set(KORVANI_DEB_VERSION ${PROJECT_VERSION}-${KORVANI_DEB_RELEASE})

install(FILES ${KORVANI_DATA}/splash_message.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/korvani)
install(FILES ${KORVANI_DATA}/korvani.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KORVANI_DATA}/icons/korvani.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${KORVANI_DATA}/icons/korvani-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME korvani.png)
endforeach()

# The manual page and Debian's changelog, compressed as Debian wants them (no time stamp).
configure_file(${KORVANI_DATA}/debian/changelog.in ${CMAKE_BINARY_DIR}/changelog.Debian @ONLY)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/korvani.1.gz ${CMAKE_BINARY_DIR}/changelog.Debian.gz
  COMMAND gzip -9n -c ${KORVANI_DATA}/korvani.1 > ${CMAKE_BINARY_DIR}/korvani.1.gz
  COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/changelog.Debian > ${CMAKE_BINARY_DIR}/changelog.Debian.gz
  DEPENDS ${KORVANI_DATA}/korvani.1 ${CMAKE_BINARY_DIR}/changelog.Debian
  VERBATIM)
add_custom_target(korvani_docs ALL DEPENDS ${CMAKE_BINARY_DIR}/korvani.1.gz ${CMAKE_BINARY_DIR}/changelog.Debian.gz)
install(FILES ${CMAKE_BINARY_DIR}/korvani.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/changelog.Debian.gz ${KORVANI_DATA}/debian/copyright ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The README's links lead into docs/: the pages (and their pictures) go beside it.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs DESTINATION ${CMAKE_INSTALL_DOCDIR} FILES_MATCHING PATTERN "*.md"
        PATTERN "*.png")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvani)
set(CPACK_PACKAGE_VENDOR "The Korvani developers")
set(CPACK_PACKAGE_CONTACT "The Korvani developers <korvani@vexel.example.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "operator panel for a Vexel controller board, and a serial terminal")
set(CPACK_PACKAGE_DESCRIPTION
    "The program on a Vexel controller board draws a character screen on the PC\n\
over a serial port: text in colours, soft buttons, bar graphs, number prompts,\n\
notices, an on-screen log and log files on disk. Korvani shows that screen and\n\
sends button presses, values and the PC clock back. It is also a serial\n\
terminal that sends prepared lines with hex escapes and shows and logs the\n\
traffic as ASCII and hex. A built-in demo board shows it all without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${KORVANI_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vexel.example.com/korvani")
# The libraries come from the binary itself; the screen's font and Qt's window system
# plugins are needed at run time without being linked.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-qpa-plugins")
# The file protocols run lrzsz's programs when they are there.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "lrzsz")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
