# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers (posix threads, so that
# std::thread and std::mutex work). Programs are linked statically: they run without MinGW's DLLs,
# on Windows and under Wine, which the tests use to run them here:
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DNETWORTH_GUI=OFF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(NETWORTH_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${NETWORTH_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NETWORTH_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${NETWORTH_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${NETWORTH_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# CTest starts the test programs through Wine's 64-bit loader.
if(EXISTS /usr/lib/wine/wine64)
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
endif()
