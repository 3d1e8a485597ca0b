# GoogleTest for both builds, and the Wine environment the Windows tests run in.

if(ORV_WINDOWS)
  # Debian ships GoogleTest as source; build it with the cross compiler.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)

  find_program(ORV_XVFB Xvfb REQUIRED)
  set(ORV_WINE_TOOLS "${CMAKE_SOURCE_DIR}/tests/wine")

  # One throw-away prefix and display per build folder and test run.
  add_test(NAME wine.setup COMMAND "${ORV_WINE_TOOLS}/wine-fixture" start "${CMAKE_BINARY_DIR}")
  set_tests_properties(wine.setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
  add_test(NAME wine.cleanup COMMAND "${ORV_WINE_TOOLS}/wine-fixture" stop "${CMAKE_BINARY_DIR}")
  set_tests_properties(wine.cleanup PROPERTIES FIXTURES_CLEANUP wine)

  # orv_add_wine_test(NAME name COMMAND program.exe args... [LOCK resource])
  function(orv_add_wine_test)
    cmake_parse_arguments(T "" "NAME;LOCK;TIMEOUT" "COMMAND" ${ARGN})
    add_test(NAME ${T_NAME} COMMAND "${ORV_WINE_TOOLS}/wine-run" "${CMAKE_BINARY_DIR}" ${T_COMMAND})
    set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED wine LABELS wine)
    if(T_LOCK)
      set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK ${T_LOCK})
    endif()
    if(T_TIMEOUT)
      set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
    endif()
  endfunction()
else()
  find_package(GTest REQUIRED)
endif()

if(NOT TARGET GTest::gtest_main)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
  add_library(GTest::gmock ALIAS gmock)
endif()
