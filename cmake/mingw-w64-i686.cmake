# Cross build of the shipped program: 32-bit Windows, MinGW-w64 with the win32
# thread model, so that nothing pulls in the pthread library (which needs
# Windows XP) and the program runs on Windows 2000.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Only the shipped program is built with this file; the programs that test it
# come from mingw-w64-i686-tests.cmake.
set(Z4_SHIPPED_BUILD ON)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
