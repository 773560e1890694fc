# Windows x64 (Sarvel.scr for 64-bit Windows).
set(SARVEL_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
