# `make package`: a Debian package of what `cmake --install` lays out, under
# /usr, its library dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marlo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Marlo maintainers <maintainers@marlo.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "collect hardness readings into test batches")
set(CPACK_PACKAGE_DESCRIPTION
  "Marlo receives the records of a portable Leeb or UCI hardness tester over a\n"
  "serial port, files them into test batches, judges every reading against\n"
  "limits, shows lists and a bar chart, keeps batches in .hdb files and writes\n"
  "a report as a chart bitmap and a spreadsheet workbook. marlo-tool does the\n"
  "same with batch files from the command line, and marlo-sim plays a tester\n"
  "on a pseudo-terminal.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The programs are built with debug information; the package leaves it out.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt Sql's drivers are plugins, which dpkg-shlibdeps cannot see: the archive
# needs SQLite's, and PostgreSQL's where a lab shares one.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt6sql6-sqlite)
# Report opens the workbook through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, libqt6sql6-psql")

include(CPack)
