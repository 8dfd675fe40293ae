# Cross-building the panel for 64-bit Windows (x64) with Debian's mingw-w64, its programs run
# under Wine. scripts/build-windows uses it.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(mingw x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
