# Copies the asset directory next to the game. The player's high-score file is
# only seeded when there is none yet: a rebuild never resets the record.
# Usage: cmake -DSOURCE=<Assets> -DDEST=<build/Assets> -P CopyAssets.cmake
file(MAKE_DIRECTORY "${DEST}")
file(GLOB asset_files RELATIVE "${SOURCE}" "${SOURCE}/*")
foreach(asset IN LISTS asset_files)
  if(asset STREQUAL "highscore.txt")
    if(NOT EXISTS "${DEST}/highscore.txt")
      file(COPY "${SOURCE}/highscore.txt" DESTINATION "${DEST}")
    endif()
  else()
    file(COPY "${SOURCE}/${asset}" DESTINATION "${DEST}")
  endif()
endforeach()
