# ZAP207_FUZZ=ON builds the libFuzzer targets of tests/fuzz (clang only), with
# the engine and the game instrumented for coverage, AddressSanitizer and
# UndefinedBehaviorSanitizer, whether or not the tests are built. Build them
# with `--target fuzzers`; scripts/fuzz.sh builds and runs them. Without it,
# the test build has the same targets replay their kept inputs as tests.
option(ZAP207_FUZZ "Build the libFuzzer targets under tests/fuzz (needs clang)" OFF)

if(ZAP207_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "ZAP207_FUZZ needs clang, e.g. CXX=clang++-14 (found ${CMAKE_CXX_COMPILER_ID})")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
  add_subdirectory("${CMAKE_CURRENT_LIST_DIR}/../tests/fuzz" "${CMAKE_BINARY_DIR}/tests/fuzz")
endif()
