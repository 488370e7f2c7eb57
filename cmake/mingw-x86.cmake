# Cross-compiles the 32-bit Windows DLL and test programs with MinGW-w64 (posix threads).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(orvanecam_mingw_triplet i686-w64-mingw32)
# Wine's loader for programs of this bitness.
set(ORVANECAM_WINE_LOADER /usr/lib/wine/wine)
# The module definition file names the COM entry points undecorated; stdcall-fixup binds them to
# their decorated 32-bit symbols.
set(orvanecam_mingw_module_link_flags "-Wl,--enable-stdcall-fixup")
# Every x86 processor Windows 7 runs on has SSE2; without these flags the SSE2 kernels (ours and
# libyuv's) are not compiled at all, and x87 arithmetic would round differently from x64.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
