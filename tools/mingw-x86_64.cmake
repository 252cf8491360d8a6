# Cross build for 64-bit Windows, from the same sources: it runs the Windows tests under 64-bit
# Wine on machines that cannot run 32-bit programs (tools/windows-arch).
set(CORVATONE_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
