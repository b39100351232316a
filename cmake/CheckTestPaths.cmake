# Fails when a test or benchmark names an absolute path outside the build and
# source trees: a file there exists only on machines that happen to have it, so
# such a test passes here and fails on a fresh one. Device and process files,
# which every Linux machine has, are allowed.
# Usage: cmake -DROOT=<source tree> -P CheckTestPaths.cmake
file(GLOB_RECURSE sources
  "${ROOT}/tests/*.cpp" "${ROOT}/tests/*.h" "${ROOT}/tests/e2e/*.sh"
  "${ROOT}/bench/*.cpp" "${ROOT}/bench/*.h")
set(allowed "^/(dev|proc|tmp)/")
set(found "")
foreach(source IN LISTS sources)
  file(STRINGS "${source}" lines REGEX "[\"']/[A-Za-z]")
  foreach(line IN LISTS lines)
    # A string joined to a directory macro (ASSETS "/font.ttf") continues that path.
    string(REGEX REPLACE "[A-Z0-9_]+ *\"/" "\"" line "${line}")
    string(REGEX MATCHALL "[\"']/[A-Za-z][^\"' ]*" paths "${line}")
    foreach(path IN LISTS paths)
      string(SUBSTRING "${path}" 1 -1 path)
      if(NOT path MATCHES "${allowed}")
        file(RELATIVE_PATH where "${ROOT}" "${source}")
        string(APPEND found "  ${where}: ${path}\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "Tests must read only files of the project or of packages its scripts "
                      "install; these absolute paths are outside both:\n${found}")
endif()
message(STATUS "${CMAKE_ARGV0}: no test reads a file from outside the project")
