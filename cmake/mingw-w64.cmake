# Cross-building for 64-bit Windows with Debian's mingw-w64 (posix thread model: std::thread
# and std::mutex need it). Executables are linked statically so that no mingw DLL has to travel
# with them; ctest runs the Windows tests under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests run under wine; the prefix and locale come from the environment (scripts/wine-env.sh),
# so that the ANSI code page is 1251 as on a Russian Windows. scripts/wine-run.sh keeps what wine
# starts on demand off ctest's output pipe.
find_program(KELVO_WINE wine)
if(KELVO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
endif()
