# GoogleTest for a cross build, compiled from the sources Debian's googletest package installs.
# Sets PST2XMZ_TESTS when it is available; without it the cross build has no tests.
set(PST2XMZ_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
if(EXISTS ${PST2XMZ_GTEST_SOURCE}/CMakeLists.txt)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(${PST2XMZ_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(PST2XMZ_TESTS ON)
else()
  message(WARNING "No GoogleTest sources at ${PST2XMZ_GTEST_SOURCE}: the cross build has no tests")
  set(PST2XMZ_TESTS OFF)
endif()
