# The Debian binary package: `cpack -G DEB` in a build folder (scripts/package).
# The program finds its data beside its own prefix, so the package installs the
# same build under /usr.
# The package is made from what the build folder already holds: cpack must not
# build every target (tests included) again first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Orvane developers <dev@orvane.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "IDE for web pages and scripts")
set(CPACK_PACKAGE_DESCRIPTION
  "Orvane edits HTML, PHP, Perl, shell, CSS and JavaScript in a tabbed,
highlighted source editor, inserts snippets and HTML constructs, transforms
text, lists a file's functions and includes, runs scripts and make in embedded
terminals, previews pages in embedded web views and mounts FTP and SFTP
servers through FUSE tools. Its interface is French, with an English
translation.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orvane.org")
# Library dependencies come from the binary itself (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The pictures are drawn in SVG by the icon theme the toolbars use.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adwaita-icon-theme, librsvg2-common")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS
  "make, sshfs, fuse3, rclone, devhelp, gimp, firefox-esr | epiphany-browser | konqueror | dillo | elinks | links | lynx")

set(ORVANE_DEB_DOC ${CMAKE_BINARY_DIR}/debian-doc)
add_custom_command(OUTPUT ${ORVANE_DEB_DOC}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVANE_DEB_DOC}
  COMMAND ${GZIP_EXECUTABLE} -9 -n -c ${CMAKE_SOURCE_DIR}/data/debian/changelog > ${ORVANE_DEB_DOC}/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/data/debian/changelog)
add_custom_target(debian_doc ALL DEPENDS ${ORVANE_DEB_DOC}/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/data/debian/copyright ${ORVANE_DEB_DOC}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
include(CPack)
