# What `cmake --install` puts under the prefix besides the programs (which
# src/app installs into bin/): the data folder the programs read (see
# platform/program_files.hpp), the desktop entry and icon, and the manual
# pages; and the Debian package that cpack builds from the same rules.
include(GNUInstallDirs)

# Everything in data/ is read by the programs from PREFIX/share/zel; files
# added there later are installed without editing this.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/zel
  PATTERN README.md EXCLUDE)

if(TARGET zel)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/zel.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/zel.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# Manual pages, compressed as Debian keeps them.
find_program(GZIP_PROGRAM gzip)
set(zel_man_pages)
foreach(program zel zel-batch zel-demo)
  if(NOT TARGET ${program})
    continue()
  endif()
  set(page ${PROJECT_SOURCE_DIR}/man/${program}.1)
  if(GZIP_PROGRAM)
    set(out ${PROJECT_BINARY_DIR}/man/${program}.1.gz)
    # Copied, then compressed in place: no shell redirection, so every
    # generator runs it alike.
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E copy ${page} ${PROJECT_BINARY_DIR}/man/${program}.1
      COMMAND ${GZIP_PROGRAM} -9nf ${PROJECT_BINARY_DIR}/man/${program}.1
      DEPENDS ${page} VERBATIM)
    list(APPEND zel_man_pages ${out})
  else()
    list(APPEND zel_man_pages ${page})
  endif()
endforeach()
add_custom_target(zel_man ALL DEPENDS ${zel_man_pages})
install(FILES ${zel_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

include(${CMAKE_CURRENT_LIST_DIR}/package.cmake)
