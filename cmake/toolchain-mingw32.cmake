# Windows x86 (Sarvel.scr for 32-bit Windows and SysWOW64).
set(SARVEL_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# SSE arithmetic rather than the x87 unit: floats then round exactly as on
# x86-64, so a seed gives the same frames on both Windows builds. Every
# processor that runs a supported Windows has SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
