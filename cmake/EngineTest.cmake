# A hang fails fast, with the test's name. Under an emulator each test also
# pays for starting it.
if(CMAKE_CROSSCOMPILING)
  set(default_timeout 300)
else()
  set(default_timeout 60)
endif()
set(ZAP207_UNIT_TEST_TIMEOUT ${default_timeout} CACHE STRING "Seconds a unit test may take")

# One test executable per subsystem: every *Test.cpp under the given directory,
# linked with the shared test support and registered with CTest. Tests run with
# SDL's dummy video and audio drivers unless a test sets its own.
function(add_engine_test name dir)
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*Test.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARGN} test_support GTest::gtest_main)
  # Tests that need real data (the font, the models) read the project's own Assets.
  target_compile_definitions(${name} PRIVATE SDL_MAIN_HANDLED
                             ZAP207_SOURCE_ASSETS="${PROJECT_SOURCE_DIR}/Assets")
  zap207_set_warnings(${name})
  zap207_copy_runtime_dlls(${name})
  # A cross-compiled test lists its cases when CTest runs, through the
  # emulator, so building needs no emulator.
  if(CMAKE_CROSSCOMPILING)
    set(discovery_mode PRE_TEST)
  else()
    set(discovery_mode POST_BUILD)
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
    PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=dummy"
               ENVIRONMENT_MODIFICATION "SDL_AUDIODRIVER=set:dummy"
               TIMEOUT ${ZAP207_UNIT_TEST_TIMEOUT}
    DISCOVERY_MODE ${discovery_mode}
    DISCOVERY_TIMEOUT 120)
endfunction()
