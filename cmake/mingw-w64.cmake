# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers (posix threads, so that
# std::thread and std::mutex work):
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DNETWORTH_QT_WINDOWS=<Qt for Windows, from scripts/qt-windows.sh>
# Without NETWORTH_QT_WINDOWS only the layers without Qt can be built (-DNETWORTH_GUI=OFF).
# scripts/qt-windows.sh builds Qt itself with this file too.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(NETWORTH_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${NETWORTH_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NETWORTH_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${NETWORTH_MINGW_TRIPLE}-windres)

# Qt for Windows is a second root beside MinGW's own; its host tools (moc, rcc, uic) are the
# system's, of the same Qt version.
set(CMAKE_FIND_ROOT_PATH /usr/${NETWORTH_MINGW_TRIPLE})
if(NETWORTH_QT_WINDOWS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${NETWORTH_QT_WINDOWS})
  list(APPEND CMAKE_PREFIX_PATH ${NETWORTH_QT_WINDOWS})
  set(QT_HOST_PATH /usr CACHE PATH "Qt's host tools")
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "CMake files of the host Qt")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# CTest and the build start the Windows programs under Wine, through a wrapper that passes Qt's
# variables on.
if(EXISTS /usr/lib/wine/wine64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES NETWORTH_QT_WINDOWS)
