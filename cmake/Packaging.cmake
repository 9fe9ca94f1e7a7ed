# Desktop integration and the Debian package: the menu entry, AppStream metadata, icon,
# manual page and copyright file installed beside the two programs, and the CPack settings
# behind `cmake --build <dir> --target package`.
include(GNUInstallDirs)

set(FBC_APP_ID com.example.FlybackDesigner)
# The date of the release that PROJECT_VERSION names, as the AppStream metadata lists it.
set(FBC_RELEASE_DATE 2026-12-10)
set(FBC_HOMEPAGE https://example.com/flyback-designer)
set(FBC_MAINTAINER "The flyback-designer developers <flyback-designer@example.com>")

configure_file(${PROJECT_SOURCE_DIR}/resources/${FBC_APP_ID}.metainfo.xml.in
  ${PROJECT_BINARY_DIR}/${FBC_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_SOURCE_DIR}/resources/${FBC_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/${FBC_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/${FBC_APP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The copyright file in Debian's machine-readable form, from LICENSE so the terms live in one
# place: holder from its copyright line, the terms after it as the licence text.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE fbc_licence)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" fbc_match "${fbc_licence}")
set(FBC_COPYRIGHT_HOLDER "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^.*Copyright \\(c\\) [^\n]*\n" "" fbc_licence "${fbc_licence}")
string(STRIP "${fbc_licence}" fbc_licence)
string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" fbc_licence "${fbc_licence}")
string(REPLACE "\n" "\n " FBC_LICENCE_TEXT "${fbc_licence}")
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/copyright CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ${PROJECT_NAME}
Upstream-Contact: ${FBC_MAINTAINER}
Source: ${FBC_HOMEPAGE}

Files: *
Copyright: ${FBC_COPYRIGHT_HOLDER}
License: MIT
 ${FBC_LICENCE_TEXT}
")
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# What the program carries of others' open data, and under which terms.
install(FILES ${PROJECT_SOURCE_DIR}/NOTICE DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The manual page of flyback-calc comes from its own --help and --version. Without help2man
# the programs still build and install, only without the page.
find_program(HELP2MAN_EXECUTABLE help2man)
find_program(GZIP_EXECUTABLE gzip)
if(HELP2MAN_EXECUTABLE AND GZIP_EXECUTABLE)
  set(fbc_man_page ${PROJECT_BINARY_DIR}/man/flyback-calc.1)
  add_custom_command(OUTPUT ${fbc_man_page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
      ${HELP2MAN_EXECUTABLE} --no-info --section=1 --locale=C.UTF-8
      --include=${PROJECT_SOURCE_DIR}/resources/flyback-calc.h2m
      --output=${fbc_man_page} $<TARGET_FILE:flyback-calc>
    COMMAND ${CMAKE_COMMAND} -DMAN_PAGE=${fbc_man_page}
      -P ${PROJECT_SOURCE_DIR}/cmake/ManExamples.cmake
    COMMAND ${GZIP_EXECUTABLE} -9nf ${fbc_man_page}
    DEPENDS flyback-calc ${PROJECT_SOURCE_DIR}/resources/flyback-calc.h2m
      ${PROJECT_SOURCE_DIR}/cmake/ManExamples.cmake
    COMMENT "Writing the flyback-calc manual page with help2man"
    VERBATIM)
  add_custom_target(flyback-calc-man ALL DEPENDS ${fbc_man_page}.gz)
  install(FILES ${fbc_man_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: flyback-calc is installed without its manual page")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "The flyback-designer developers")
set(CPACK_PACKAGE_CONTACT "${FBC_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL ${FBC_HOMEPAGE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Wrapped for the package's control file, where each line becomes one line of the text.
set(CPACK_PACKAGE_DESCRIPTION
"A desktop window that works out the transformer of a flyback switching power
converter in critical conduction: turns, turns ratio, primary inductance, flux
swing and primary current density, with a verdict on the copper temperature
and plots of the switch and output-diode waveforms. Captions are in Japanese.
The command-line program flyback-calc gives the same results as text or JSON.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# dpkg-shlibdeps adds the libraries the programs link; the platform plugins and the Japanese
# fonts are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6core6, libqt6gui6, libqt6widgets6, libqt6svg6, libqt6printsupport6, qt6-qpa-plugins, fonts-ipafont-gothic | fonts-noto-cjk")
# flyback-calc --simulate runs ngspice when it is there.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ngspice")

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build/")

include(CPack)
