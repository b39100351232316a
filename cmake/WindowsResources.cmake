# On Windows zap207.exe carries the game's icon (every size from 16 to 256 px,
# drawn from the ship's model like the Linux icons), a version resource and an
# application manifest, compiled in by windres. The icon tool runs on the build
# machine, so a cross build first builds it for that machine.
if(NOT WIN32 OR EMSCRIPTEN)
  return()
endif()
enable_language(RC)

set(ZAP207_WINDOWS_ICON_SIZES 16 24 32 48 64 128 256)
set(windows_src "${PROJECT_SOURCE_DIR}/packaging/windows")
set(windows_out "${PROJECT_BINARY_DIR}/packaging/windows")

if(CMAKE_CROSSCOMPILING)
  include(ExternalProject)
  set(host_tools "${PROJECT_BINARY_DIR}/host-tools")
  # Under make the host build shares the outer build's jobs.
  if(CMAKE_GENERATOR MATCHES "Makefiles")
    set(host_build "$(MAKE)" make_icons)
  else()
    set(host_build "${CMAKE_COMMAND}" --build "${host_tools}" --target make_icons)
  endif()
  ExternalProject_Add(host_make_icons
    SOURCE_DIR "${PROJECT_SOURCE_DIR}"
    BINARY_DIR "${host_tools}"
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DZAP207_BENCHMARKS=OFF
    BUILD_COMMAND ${host_build}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS "${host_tools}/make_icons"
    LOG_CONFIGURE ON)
  set(make_icons_command "${host_tools}/make_icons")
  set(make_icons_depends host_make_icons)
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
