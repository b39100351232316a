# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (posix thread model,
# so std::thread and std::mutex exist). Used for the game and for the
# dependencies built by scripts/deps.sh.
#   cmake -S . -B build-windows \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
#     -DCMAKE_PREFIX_PATH="<SDL2 prefix>;<SDL2_ttf prefix>;..."
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZAP207_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZAP207_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZAP207_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZAP207_MINGW_TRIPLE}-windres)

# Headers, libraries and package configs come from the MinGW sysroot and the
# prefixes the dependencies were installed to, never from the Linux system.
set(CMAKE_FIND_ROOT_PATH /usr/${ZAP207_MINGW_TRIPLE} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes (libgcc, libstdc++, winpthread) are linked in, so the
# only DLLs shipped beside the game are SDL's.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# Windows programs built here run under Wine: tests, test discovery and
# try_run all go through this wrapper.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../../scripts/wine-run.sh")
