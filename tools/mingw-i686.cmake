# Cross build for 32-bit Windows, the program that Corvatone ships.
set(CORVATONE_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
