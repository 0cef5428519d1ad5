# 32-bit x86 Windows (the release artifact).
set(TOUCHPATCH_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
