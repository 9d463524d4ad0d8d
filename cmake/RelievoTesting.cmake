# relievo_add_tests(<name> SOURCES <files...> [LIBS <targets...>])
# One GoogleTest executable per folder; every test case becomes a CTest test. Each links the
# shared test helpers of testing/ (relievo_testing).
if(RELIEVO_BUILD_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

function(relievo_add_tests name)
  if(NOT RELIEVO_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} relievo_testing GTest::gmock GTest::gtest_main)
  # Plug-in code reads geo rasters through the module it loads at run time.
  add_dependencies(${name} relievo_geo)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120 ENVIRONMENT "RELIEVO_BUILD_DIR=${CMAKE_BINARY_DIR}")
endfunction()
