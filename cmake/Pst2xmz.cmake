# Helpers shared by every folder's CMakeLists.txt.

# pst2xmz_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2)
# One GoogleTest executable, registered with CTest test by test. Tests find the shared sample files
# through PST2XMZ_SAMPLES_DIR (they skip when the folder is absent) and the source tree through
# PST2XMZ_SOURCE_DIR.
function(pst2xmz_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    PST2XMZ_SAMPLES_DIR="${CMAKE_SOURCE_DIR}/../shared/pst-samples"
    PST2XMZ_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    PST2XMZ_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(CMAKE_CROSSCOMPILING)
    # Each start of the emulator costs a second: one test per executable, not per case. Wine takes
    # the ANSI code page from the locale: this one's is UTF-8 (65001), the Linux program's, which
    # the tests' texts are written in.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 900 ENVIRONMENT LC_ALL=hi_IN.UTF-8)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
  endif()
endfunction()
