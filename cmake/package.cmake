# The Debian package: `cpack -G DEB` in a build folder (scripts/package.sh).
# Shared-library dependencies are read from the programs by dpkg-shlibdeps;
# what they load at run time without linking it (Qt's platform plugins,
# fonts) and the libraries of the file formats are named here.
set(CPACK_PACKAGE_NAME zel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zel")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "double-entry book-keeping for small Polish firms")
set(CPACK_PACKAGE_DESCRIPTION
  "Zel keeps a firm's year of double-entry accounts in a database folder and\n"
  "draws from it the statutory outputs: trial balance, ledgers and journals,\n"
  "VAT registers, JPK audit files and the VAT-7 declaration. It has a\n"
  "keyboard-driven desktop (zel), the same options in a terminal (zel-batch)\n"
  "and a writer of a sample firm year (zel-demo).")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(ZEL_PACKAGE_MAINTAINER "Zel developers <zel@localhost>" CACHE STRING
  "Maintainer of the Debian package (name <address>)")
set(CPACK_PACKAGE_CONTACT "${ZEL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "qt6-qpa-plugins, libxlsxwriter4, libfreexl1, libshp2, fonts-dejavu-core | fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Debian keeps a package's copyright and change log in /usr/share/doc/zel.
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
set(zel_doc_files ${PROJECT_SOURCE_DIR}/packaging/copyright)
if(GZIP_PROGRAM)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_BINARY_DIR}/packaging/changelog
      ${PROJECT_BINARY_DIR}/packaging/gz/changelog
    COMMAND ${GZIP_PROGRAM} -9nf ${PROJECT_BINARY_DIR}/packaging/gz/changelog
    COMMAND ${CMAKE_COMMAND} -E rename ${PROJECT_BINARY_DIR}/packaging/gz/changelog.gz
      ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog VERBATIM)
  add_custom_target(zel_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
  list(APPEND zel_doc_files ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
else()
  list(APPEND zel_doc_files ${PROJECT_BINARY_DIR}/packaging/changelog)
endif()
install(FILES ${zel_doc_files} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zel)

include(CPack)
