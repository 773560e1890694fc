# GoogleTest from Debian's sources, built with the project's own compiler so
# that the MinGW builds get a matching library.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
# Its warnings are not ours to mend: SYSTEM keeps those of its headers out of
# our tests, and its own sources build without -Werror.
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
set_target_properties(gtest gtest_main PROPERTIES COMPILE_WARNING_AS_ERROR OFF)

# sarvel_add_test(NAME name LABELS unit|golden|e2e|fuzz SOURCES ... [LIBS ...])
# One executable, registered as one CTest test. Cross builds run it under
# Wine through CMAKE_CROSSCOMPILING_EMULATOR.
function(sarvel_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "LABELS;SOURCES;LIBS;ARGS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} sarvel_test_support gtest gtest_main)
  if(WIN32)
    target_link_options(${T_NAME} PRIVATE -mconsole)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} ${T_ARGS} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "SARVEL_SOURCE_DIR=${CMAKE_SOURCE_DIR};SARVEL_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()
