# GoogleTest: Debian's package natively; for the Windows build, the sources that
# Debian's googletest package ships, built with the cross compiler.
if(CMAKE_CROSSCOMPILING)
  if(NOT TARGET gtest)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
  # googletest's own CMake already defines the GTest:: aliases.
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# The sample course service that launcher-run tests start beside them. It is a
# Linux program, so the Windows build uses the one of the native build.
if(CMAKE_CROSSCOMPILING)
  set(MERRAVINE_SAMPLE_SERVICE
      "${PROJECT_SOURCE_DIR}/build/native/tools/sample-service/merravine-sample-service"
      CACHE FILEPATH "The native sample service that the Windows tests talk to")
  set(merravine_sample_service "${MERRAVINE_SAMPLE_SERVICE}")
else()
  set(merravine_sample_service "$<TARGET_FILE:merravine-sample-service>")
endif()

# One call per test executable. Natively every test case is its own CTest test;
# under Wine one CTest test per executable, since each start of a Windows
# process costs a Wine start-up.
function(merravine_add_gtest target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LAUNCHER" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  merravine_warnings(${target})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING OR ARG_LAUNCHER)
    set(cmd $<TARGET_FILE:${target}>)
    if(CMAKE_CROSSCOMPILING)
      set(cmd ${CMAKE_CROSSCOMPILING_EMULATOR} ${cmd})
    endif()
    add_test(NAME ${target} COMMAND ${ARG_LAUNCHER} ${cmd})
    set_tests_properties(${target} PROPERTIES TIMEOUT 600)
    if(ARG_LAUNCHER)
      set_property(TEST ${target} APPEND PROPERTY ENVIRONMENT
                   "MERRAVINE_SAMPLE_SERVICE=${merravine_sample_service}")
    endif()
  else()
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT 120)
  endif()
endfunction()
