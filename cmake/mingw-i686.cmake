# Cross build for 32-bit Windows with the MinGW-w64 compilers (Debian: g++-mingw-w64-i686).
# The C++ runtime is linked statically, so the programs and DLLs need nothing beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(PST2XMZ_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${PST2XMZ_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PST2XMZ_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PST2XMZ_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PST2XMZ_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# DLLs and loadable modules (MAPI32.DLL, the tests' stand-in mail libraries and character-set
# libraries) the same way: with the thread library too, which the C++ runtime would otherwise take
# from libwinpthread-1.dll.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
# GCC 12 takes the std::string concatenations it inlines for this target for overlapping copies
# (-Wrestrict) and frees at an offset (-Wfree-nonheap-object): false positives of that compiler.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict -Wno-free-nonheap-object")
# zlib (Debian: libz-mingw-w64-dev) linked statically: the programs need no DLL but ours.
set(ZLIB_LIBRARY /usr/${PST2XMZ_MINGW_PREFIX}/lib/libz.a CACHE FILEPATH "static zlib for Windows")
