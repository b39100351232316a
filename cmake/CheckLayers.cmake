# A quick reminder of the layers, which the build itself keeps (each engine
# layer sees only the layers below it, see engine/CMakeLists.txt). Fails when
#   an include climbs out of its folder with "..": include directories cannot
#   stop such a path, since it is found beside the file that names it;
#   the game (game/) names a platform file, which only the engine calls;
#   a platform file (engine/platform/) names any other part of the engine.
# Usage: cmake -DROOT=<source tree> -P CheckLayers.cmake
set(found "")
function(refuse source regex)
  file(STRINGS "${source}" lines REGEX "${regex}")
  foreach(line IN LISTS lines)
    file(RELATIVE_PATH where "${ROOT}" "${source}")
    string(APPEND found "  ${where}: ${line}\n")
  endforeach()
  set(found "${found}" PARENT_SCOPE)
endfunction()

set(include "^[ \t]*#[ \t]*include[ \t]*[\"<]")
file(GLOB_RECURSE sources "${ROOT}/engine/*.cpp" "${ROOT}/engine/*.h" "${ROOT}/game/*.cpp"
     "${ROOT}/game/*.h" "${ROOT}/tests/*.cpp" "${ROOT}/tests/*.h" "${ROOT}/bench/*.cpp"
     "${ROOT}/bench/*.h" "${ROOT}/tools/*.cpp" "${ROOT}/tools/*.h")
foreach(source IN LISTS sources)
  refuse("${source}" "${include}[^\">]*[.][.][/\\]")
endforeach()
file(GLOB game_sources "${ROOT}/game/*.cpp" "${ROOT}/game/*.h")
foreach(source IN LISTS game_sources)
  refuse("${source}" "${include}platform/")
endforeach()
file(GLOB platform_sources "${ROOT}/engine/platform/*.cpp" "${ROOT}/engine/platform/*.h")
foreach(source IN LISTS platform_sources)
  refuse("${source}" "${include}(core|input|audio|renderer|framework)/")
endforeach()
if(found)
  message(FATAL_ERROR "These includes cross the layers (game -> engine -> platform):\n${found}")
endif()
message(STATUS "${CMAKE_ARGV0}: every include keeps to its layer")
