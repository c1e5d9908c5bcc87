# GoogleTest: the system package natively; built from Debian's sources for Windows.
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(TUNRA_GTEST GTest::gtest GTest::gmock)
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gmock ALIAS gmock)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
  set(TUNRA_GTEST GTest::gtest GTest::gmock)
endif()
include(GoogleTest)

# tunra_add_unit_test(name SOURCES...): one GoogleTest program whose tests CTest lists
# one by one. Discovery runs when the tests run (PRE_TEST), so the Windows build never
# starts Wine while building. A unit test takes milliseconds natively and about a
# second under Wine (a few more when it creates the prefix); the time-out ends a hang.
function(tunra_add_unit_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE tunra_core ${TUNRA_GTEST} GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  tunra_set_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES LABELS unit TIMEOUT 60)
endfunction()
