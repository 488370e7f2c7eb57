# What both MinGW-w64 toolchains share; the including file sets CMAKE_SYSTEM_PROCESSOR and
# orvanecam_mingw_triplet.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${orvanecam_mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${orvanecam_mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${orvanecam_mingw_triplet}-windres)
set(CMAKE_DLLTOOL ${orvanecam_mingw_triplet}-dlltool)

set(CMAKE_FIND_ROOT_PATH /usr/${orvanecam_mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The DLL and the test programs must run without MinGW runtime DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static ${orvanecam_mingw_module_link_flags}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static ${orvanecam_mingw_module_link_flags}")

# Test programs run under Wine, through a wrapper that selects the project's prefix, with the
# loader of this toolchain's bitness.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh"
                                  ${ORVANECAM_WINE_LOADER})
