# GoogleTest: Debian's compiled libraries on Linux; for the Windows cross build,
# Debian's googletest sources (/usr/src/googletest) built with the cross compiler.
enable_testing()
include(GoogleTest)

if(WIN32)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()

# tavix_add_test(NAME name SOURCES ... LIBRARIES ...)
# One GoogleTest program per folder; under wine each program is one ctest test,
# on Linux every test case is its own ctest test.
function(tavix_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBRARIES} GTest::gtest_main GTest::gmock Threads::Threads)
  target_compile_definitions(${T_NAME} PRIVATE TAVIX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  if(WIN32)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "WINEDEBUG=-all")
  else()
    gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# tavix_add_benchmark(NAME name SOURCES ... LIBRARIES ...): a program that prints figures.
function(tavix_add_benchmark)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBRARIES} Threads::Threads)
endfunction()
