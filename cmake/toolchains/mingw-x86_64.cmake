# x86-64 Windows (the build that runs under Wine on these machines).
set(TOUCHPATCH_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
