# Fails when a file reaches across the layers the code is built in:
#   the game (game/) calls the engine's services, never the platform files;
#   the platform files (engine/platform/) sit below the rest of the engine and
#   include only each other, SDL and the standard library, with one exception:
#   core/KeptFiles.h, the list of rules the game hands down so that a browser's
#   storage keeps a file by the same rule as the desktop.
# Usage: cmake -DROOT=<source tree> -P CheckLayers.cmake
set(found "")
file(GLOB game_sources "${ROOT}/game/*.cpp" "${ROOT}/game/*.h")
foreach(source IN LISTS game_sources)
  file(STRINGS "${source}" lines REGEX "^#include \"platform/")
  foreach(line IN LISTS lines)
    file(RELATIVE_PATH where "${ROOT}" "${source}")
    string(APPEND found "  ${where}: ${line}\n")
  endforeach()
endforeach()
file(GLOB platform_sources "${ROOT}/engine/platform/*.cpp" "${ROOT}/engine/platform/*.h")
foreach(source IN LISTS platform_sources)
  file(STRINGS "${source}" lines REGEX "^#include \"(core|framework|renderer|input|audio)/")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "core/KeptFiles.h")
      file(RELATIVE_PATH where "${ROOT}" "${source}")
      string(APPEND found "  ${where}: ${line}\n")
    endif()
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "These includes cross the layers (game -> engine -> platform):\n${found}")
endif()
message(STATUS "${CMAKE_ARGV0}: every include keeps to its layer")
