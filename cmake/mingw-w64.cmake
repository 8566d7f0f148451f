# Cross-building the Windows edition with Debian's MinGW-w64 (posix threads); the programs run
# under Wine, which ctest uses to run the tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
# Linked statically: no MinGW DLL has to ship beside the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Release programs carry no symbols: they ship in the installer and the zip.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
