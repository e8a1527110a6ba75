# One static library per subsystem folder, made of the folder's .cpp files
# (the qt/ subfolder excluded). A folder with no sources yet gives an
# interface library, so later work only adds files.
function(zel_subsystem name)
  cmake_parse_arguments(Z "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp)
  if(srcs)
    add_library(zel_${name} STATIC ${srcs})
    target_include_directories(zel_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(zel_${name} PUBLIC ${Z_DEPS})
  else()
    add_library(zel_${name} INTERFACE)
    target_include_directories(zel_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(zel_${name} INTERFACE ${Z_DEPS})
  endif()
endfunction()

# One GoogleTest binary per tests/<name> folder, linked to the given libraries.
function(zel_test_folder name)
  cmake_parse_arguments(Z "" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${name}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(test_${name} ${srcs})
  target_include_directories(test_${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(test_${name} PRIVATE ${Z_LIBS} zel_testsupport GTest::gmock GTest::gtest_main)
  gtest_discover_tests(test_${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "TZ=UTC;LANG=C.UTF-8;LC_ALL=C.UTF-8;QT_QPA_PLATFORM=offscreen;ZEL_SOURCE_DIR=${PROJECT_SOURCE_DIR};ZEL_BINARY_DIR=${PROJECT_BINARY_DIR};ZEL_DATA_DIR=${PROJECT_SOURCE_DIR}/data"
    DISCOVERY_TIMEOUT 60)
endfunction()
