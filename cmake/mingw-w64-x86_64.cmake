# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix: the posix
# thread model, which std::thread and GoogleTest need). Programs built with it run here under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VORNEX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VORNEX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORNEX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VORNEX_MINGW_PREFIX}-windres)

# Libraries built for Windows elsewhere (Qt, SQLite: packaging/windows-deps.sh) come in through
# -DCMAKE_FIND_ROOT_PATH=...; the MinGW runtime's own folder is always searched.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${VORNEX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes linked in, so the .exe files run without MinGW's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(VORNEX_WINE NAMES wine64 wine)
if(VORNEX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VORNEX_WINE})
endif()
