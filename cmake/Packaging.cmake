# Installing on Linux: `cmake --install build --prefix PREFIX` lays the game out
# the way a desktop expects, and CPack packs the same tree as a .deb and a .tar.gz.
#   PREFIX/bin/zap207                     launcher: prepares the player's directory
#                                         (scripts/package.sh puts it in games/ for the .deb)
#   PREFIX/libexec/zap207/zap207          the game itself
#   PREFIX/share/zap207/                  read-only models, font and sounds
#   PREFIX/share/applications/, share/metainfo/, share/icons/hicolor/,
#   share/man/man6/, share/doc/zap207/
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux" OR CMAKE_CROSSCOMPILING)
  return()
endif()

include(GNUInstallDirs)
find_package(ZLIB REQUIRED)
find_program(ZAP207_GZIP gzip REQUIRED)

set(ZAP207_MAINTAINER "The ZAP207 developers <zap207@example.org>"
    CACHE STRING "Maintainer named in the packages")
# Names the game to desktops and software centres: the desktop entry and the
# AppStream file carry it, so a software centre can tie the two together.
set(ZAP207_APP_ID org.example.zap207)
set(ZAP207_ICON_SIZES 48 128 256)

set(packaging_src "${PROJECT_SOURCE_DIR}/packaging")
set(packaging_out "${PROJECT_BINARY_DIR}/packaging")
set(data_dir "${CMAKE_INSTALL_DATADIR}/zap207")
set(program_dir "${CMAKE_INSTALL_LIBEXECDIR}/zap207")

# The player's record is not installed: the launcher seeds it per player.
file(GLOB installed_assets RELATIVE "${PROJECT_SOURCE_DIR}/Assets" CONFIGURE_DEPENDS
     "${PROJECT_SOURCE_DIR}/Assets/*")
list(REMOVE_ITEM installed_assets highscore.txt FONT-LICENSE.txt)
list(TRANSFORM installed_assets PREPEND "${PROJECT_SOURCE_DIR}/Assets/" OUTPUT_VARIABLE asset_paths)

install(TARGETS zap207 RUNTIME DESTINATION "${program_dir}")
install(FILES ${asset_paths} DESTINATION "${data_dir}")

# The launcher finds the game and its data relative to itself, so any prefix works.
file(RELATIVE_PATH ZAP207_LAUNCHER_TO_DATA "/p/${CMAKE_INSTALL_BINDIR}" "/p/${data_dir}")
file(RELATIVE_PATH ZAP207_LAUNCHER_TO_PROGRAM "/p/${CMAKE_INSTALL_BINDIR}" "/p/${program_dir}/zap207")
list(JOIN installed_assets " " ZAP207_INSTALLED_ASSETS)
configure_file("${packaging_src}/zap207.in" "${packaging_out}/zap207" @ONLY)
install(PROGRAMS "${packaging_out}/zap207" DESTINATION "${CMAKE_INSTALL_BINDIR}")

install(FILES "${packaging_src}/${ZAP207_APP_ID}.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
configure_file("${packaging_src}/${ZAP207_APP_ID}.metainfo.xml.in" "${packaging_out}/${ZAP207_APP_ID}.metainfo.xml" @ONLY)
install(FILES "${packaging_out}/${ZAP207_APP_ID}.metainfo.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

# Icons are drawn at build time from the ship's model, so they follow it.
add_executable(make_icons "${PROJECT_SOURCE_DIR}/tools/make_icons.cpp")
target_link_libraries(make_icons PRIVATE vexa ZLIB::ZLIB)
zap207_set_warnings(make_icons)
set(icon_files "${packaging_out}/icons/zap207.svg")
foreach(size IN LISTS ZAP207_ICON_SIZES)
  list(APPEND icon_files "${packaging_out}/icons/${size}/zap207.png")
  install(FILES "${packaging_out}/icons/${size}/zap207.png"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
endforeach()
install(FILES "${packaging_out}/icons/zap207.svg" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
add_custom_command(
  OUTPUT ${icon_files}
  COMMAND make_icons "${PROJECT_SOURCE_DIR}/Assets/falcon.txt" "${packaging_out}/icons" ${ZAP207_ICON_SIZES}
  DEPENDS make_icons "${PROJECT_SOURCE_DIR}/Assets/falcon.txt"
  COMMENT "Drawing the icons from falcon.txt")

# Manual page and changelog, compressed without a time stamp so builds repeat.
configure_file("${packaging_src}/zap207.6" "${packaging_out}/zap207.6" @ONLY)
configure_file("${packaging_src}/changelog.in" "${packaging_out}/changelog" @ONLY)
add_custom_command(
  OUTPUT "${packaging_out}/zap207.6.gz" "${packaging_out}/changelog.gz"
  COMMAND "${ZAP207_GZIP}" -9nkf "${packaging_out}/zap207.6" "${packaging_out}/changelog"
  DEPENDS "${packaging_out}/zap207.6" "${packaging_out}/changelog"
  COMMENT "Compressing the manual page and the changelog")
add_custom_target(install_data ALL DEPENDS ${icon_files} "${packaging_out}/zap207.6.gz")
install(FILES "${packaging_out}/zap207.6.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man6")

# Licences: the game's own and the font's, and both together as the package's
# copyright file (the font's notice without the GPL text every system already has).
file(READ "${PROJECT_SOURCE_DIR}/LICENSE" game_licence)
file(READ "${PROJECT_SOURCE_DIR}/Assets/FONT-LICENSE.txt" font_licence)
string(FIND "${font_licence}" "\n-----" full_text_start)
if(full_text_start GREATER 0)
  string(SUBSTRING "${font_licence}" 0 ${full_text_start} font_licence)
endif()
string(REPLACE "Assets/font.ttf" "/usr/share/zap207/font.ttf" font_licence "${font_licence}")
file(WRITE "${packaging_out}/copyright"
     "ZAP207\n\nThe game, except its font:\n\n${game_licence}\n\nThe font:\n\n${font_licence}\n")
install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" "${PROJECT_SOURCE_DIR}/Assets/FONT-LICENSE.txt"
              "${packaging_out}/copyright" "${packaging_out}/changelog.gz"
        DESTINATION "${CMAKE_INSTALL_DOCDIR}")

set(CPACK_PACKAGE_NAME zap207)
set(CPACK_PACKAGE_VENDOR "The ZAP207 developers")
set(CPACK_PACKAGE_CONTACT "${ZAP207_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade game of a ship among drifting asteroids")
# Lines of the long description stay under 80 columns, as Debian asks.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "A small single-player arcade game drawn entirely in coloured line segments."
  "Your ship sits near the left edge while asteroids drift in from the right"
  "in waves and turn to watch you; power-ups drift by now and then, and every"
  "second you survive is worth points. Each player's best score is kept"
  "between runs.")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_GENERATOR "DEB;TGZ")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_FILE_NAME "zap207-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR}")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
