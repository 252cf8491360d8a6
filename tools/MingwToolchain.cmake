# Cross build of the core with Debian's MinGW-w64 (posix thread model, which std::mutex and
# std::thread need), for the processor that CORVATONE_MINGW_PROCESSOR names (i686 or x86_64), set
# by tools/mingw-<processor>.cmake. Executables are linked statically and run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${CORVATONE_MINGW_PROCESSOR})
set(CORVATONE_MINGW_TRIPLET ${CORVATONE_MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${CORVATONE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CORVATONE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${CORVATONE_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${CORVATONE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# SSE2 arithmetic, as on x86-64: doubles are rounded as there (not kept in the x87 registers'
# extended precision) and loops may use vector registers. Every processor that runs a current
# Windows has SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
