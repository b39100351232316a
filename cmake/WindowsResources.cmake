# On Windows zap207.exe carries the game's icon (every size from 16 to 256 px,
# drawn from the ship's model like the Linux icons), a version resource and an
# application manifest, compiled in by windres. The icon tool runs on the build
# machine: a cross build is given the one the ordinary build of that machine
# made (scripts/build-windows.sh passes it), so the engine is not compiled for
# the build machine a second time.
if(NOT WIN32 OR EMSCRIPTEN)
  return()
endif()
enable_language(RC)

set(ZAP207_WINDOWS_ICON_SIZES 16 24 32 48 64 128 256)
set(windows_src "${PROJECT_SOURCE_DIR}/packaging/windows")
set(windows_out "${PROJECT_BINARY_DIR}/packaging/windows")

if(CMAKE_CROSSCOMPILING)
  set(ZAP207_HOST_MAKE_ICONS "" CACHE FILEPATH "make_icons built for the build machine")
  if(NOT EXISTS "${ZAP207_HOST_MAKE_ICONS}")
    message(FATAL_ERROR "A cross build draws the exe's icon with make_icons built for this machine: "
                        "set ZAP207_HOST_MAKE_ICONS to it (scripts/build-windows.sh does)")
  endif()
  set(make_icons_command "${ZAP207_HOST_MAKE_ICONS}")
  # A rebuilt tool draws the icon again.
  set(make_icons_depends "${ZAP207_HOST_MAKE_ICONS}")
else()
  find_package(ZLIB REQUIRED)
  add_executable(make_icons "${PROJECT_SOURCE_DIR}/tools/make_icons.cpp")
  target_link_libraries(make_icons PRIVATE vexa ZLIB::ZLIB)
  zap207_set_warnings(make_icons)
  zap207_copy_runtime_dlls(make_icons)
  set(make_icons_command make_icons)
  set(make_icons_depends make_icons)
endif()

set(ZAP207_ICO "${windows_out}/icons/zap207.ico")
add_custom_command(
  OUTPUT "${ZAP207_ICO}"
  COMMAND "${make_icons_command}" "${PROJECT_SOURCE_DIR}/Assets/falcon.txt" "${windows_out}/icons"
          ${ZAP207_WINDOWS_ICON_SIZES}
  DEPENDS ${make_icons_depends} "${PROJECT_SOURCE_DIR}/Assets/falcon.txt"
  COMMENT "Drawing the Windows icon from falcon.txt")
add_custom_target(windows_icon DEPENDS "${ZAP207_ICO}")

# Windows wants four numbers in a version; missing ones are 0.
set(version_parts "")
foreach(part IN ITEMS MAJOR MINOR PATCH TWEAK)
  if(PROJECT_VERSION_${part} STREQUAL "")
    list(APPEND version_parts 0)
  else()
    list(APPEND version_parts "${PROJECT_VERSION_${part}}")
  endif()
endforeach()
list(JOIN version_parts "," ZAP207_VERSION_COMMAS)
list(JOIN version_parts "." ZAP207_VERSION_QUAD)
set(ZAP207_MANIFEST "${windows_out}/zap207.manifest")
configure_file("${windows_src}/zap207.manifest.in" "${ZAP207_MANIFEST}" @ONLY)
configure_file("${windows_src}/zap207.rc.in" "${windows_out}/zap207.rc" @ONLY)

target_sources(zap207 PRIVATE "${windows_out}/zap207.rc")
set_source_files_properties("${windows_out}/zap207.rc" PROPERTIES OBJECT_DEPENDS "${ZAP207_ICO};${ZAP207_MANIFEST}")
add_dependencies(zap207 windows_icon)
