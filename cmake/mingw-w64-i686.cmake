# 32-bit Windows, the original program's target. No 32-bit program runs on
# these machines: this build is compiled and linked, never run.
set(DORVEL_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
