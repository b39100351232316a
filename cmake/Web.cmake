# The browser build (Emscripten). The libraries are static builds, whose CMake
# packages name their targets with a -static suffix; the desktop names stand
# in for them so the rest of the build is the same on every platform.
foreach(lib IN ITEMS SDL2::SDL2 SDL2_ttf::SDL2_ttf SDL2_mixer::SDL2_mixer)
  if(NOT TARGET ${lib} AND TARGET ${lib}-static)
    add_library(${lib} ALIAS ${lib}-static)
  endif()
endforeach()

# The smallest code: the page is downloaded on every first visit. Link-time
# optimisation lets the linker drop and merge across the game's own files
# (the libraries are prebuilt without it): some 3 KB less over the wire.
add_compile_options(-Oz -flto)
add_link_options(-Oz -flto)

# The folder packaged as the game's Assets: scripts/build-web.sh gives one
# made for the page (a smaller font, no licence); the project's own otherwise.
set(ZAP207_WEB_ASSETS "${PROJECT_SOURCE_DIR}/Assets" CACHE PATH "The assets the page packages")

# Turns the game executable into zap207.js and zap207.wasm, with the assets
# packaged into zap207.data and mounted as the working directory's Assets.
function(zap207_web_page target)
  set_target_properties(${target} PROPERTIES SUFFIX ".js")
  target_link_options(${target} PRIVATE
    "SHELL:--preload-file ${ZAP207_WEB_ASSETS}@/Assets"
    # The game never reads the font's licence: the site carries it beside the page.
    "SHELL:--exclude-file *FONT-LICENSE.txt"
    "SHELL:-s ENVIRONMENT=web"
    "SHELL:-s ALLOW_MEMORY_GROWTH=1"
    # Escape ends the program: global destructors close the window and the
    # sound device, as at the end of a desktop process.
    "SHELL:-s EXIT_RUNTIME=1")
  file(GLOB assets CONFIGURE_DEPENDS "${ZAP207_WEB_ASSETS}/*")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${assets})
endfunction()
