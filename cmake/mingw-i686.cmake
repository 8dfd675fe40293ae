# Cross-building the panel for 32-bit Windows (x86) with Debian's mingw-w64, its programs run
# under Wine. scripts/build-windows uses it.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(mingw i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
