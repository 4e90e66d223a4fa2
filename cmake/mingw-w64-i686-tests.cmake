# Cross build of the Windows test programs: the unit tests with the tests of
# the Win32 ports, the program driven from outside, the board emulator and the
# timing probes. They talk to the shipped 32-bit program in 32-bit Wine
# prefixes, so they are 32-bit too; MinGW-w64 i686 with posix threads
# (GoogleTest needs std::mutex). The program itself is not built here: the
# tests run the shipped build/win/Z4Utility.exe.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(Z4_TEST_PROGRAMS_BUILD ON)
# Only system DLLs at run time: without this the programs cannot find libstdc++.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
