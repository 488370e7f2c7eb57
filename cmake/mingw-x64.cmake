# Cross-compiles the 64-bit Windows DLL and test programs with MinGW-w64 (posix threads).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(orvanecam_mingw_triplet x86_64-w64-mingw32)
# Wine's loader for programs of this bitness.
set(ORVANECAM_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
