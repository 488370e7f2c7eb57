# Third-party libraries: Debian's packages natively; for Windows, the static MinGW builds that
# scripts/build-windows-deps.sh (run by scripts/setup.sh) keeps in a cache outside the source
# tree. Configuring only reads them: it installs and builds nothing.

if(CMAKE_CROSSCOMPILING AND WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/cache_root.cmake)
  set(deps_paths ${ORVANECAM_CACHE_ROOT}/windows-deps/${CMAKE_SYSTEM_PROCESSOR}/paths.cmake)
  if(NOT EXISTS ${deps_paths})
    message(FATAL_ERROR "The Windows libraries for ${CMAKE_SYSTEM_PROCESSOR} are not built "
                        "(${deps_paths} is missing): run scripts/setup.sh first.")
  endif()
  include(${deps_paths})
  add_library(libyuv STATIC IMPORTED)
  set_target_properties(libyuv PROPERTIES
    IMPORTED_LOCATION ${ORVANECAM_WIN_LIBYUV_PREFIX}/lib/libyuv.a
    INTERFACE_INCLUDE_DIRECTORIES ${ORVANECAM_WIN_LIBYUV_PREFIX}/include)
  # FFmpeg's static libraries, in link order, with the system libraries they call.
  add_library(ffmpeg INTERFACE)
  target_include_directories(ffmpeg SYSTEM INTERFACE ${ORVANECAM_WIN_FFMPEG_PREFIX}/include)
  foreach(component avformat avcodec swscale swresample avutil)
    target_link_libraries(ffmpeg INTERFACE ${ORVANECAM_WIN_FFMPEG_PREFIX}/lib/lib${component}.a)
  endforeach()
  # zlib from Debian's MinGW package, the static archive so that the DLL needs no zlib1.dll.
  find_library(MINGW_ZLIB NAMES libz.a REQUIRED)
  target_link_libraries(ffmpeg INTERFACE ${MINGW_ZLIB} bcrypt ws2_32 secur32 crypt32 ncrypt)
else()
  find_path(LIBYUV_INCLUDE_DIR libyuv.h REQUIRED)
  find_library(LIBYUV_LIBRARY yuv REQUIRED)
  add_library(libyuv UNKNOWN IMPORTED)
  set_target_properties(libyuv PROPERTIES
    IMPORTED_LOCATION ${LIBYUV_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${LIBYUV_INCLUDE_DIR})
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET
                    libavformat libavcodec libswscale libswresample libavutil)
  add_library(ffmpeg INTERFACE)
  target_link_libraries(ffmpeg INTERFACE PkgConfig::FFMPEG)
  pkg_check_modules(PULSE_SIMPLE REQUIRED IMPORTED_TARGET libpulse-simple)
  pkg_check_modules(PIPEWIRE REQUIRED IMPORTED_TARGET libpipewire-0.3)
endif()
