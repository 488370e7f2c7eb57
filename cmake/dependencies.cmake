# Third-party libraries: Debian's packages natively; for Windows, the static MinGW builds that
# scripts/build-windows-deps.sh keeps in a cache outside the source tree.

if(CMAKE_CROSSCOMPILING AND WIN32)
  # Cheap when the cache is current; builds what is missing on a fresh machine.
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/build-windows-deps.sh
                          ${CMAKE_SYSTEM_PROCESSOR}
                  RESULT_VARIABLE deps_result OUTPUT_VARIABLE deps_output ERROR_VARIABLE deps_output)
  if(NOT deps_result EQUAL 0)
    message(FATAL_ERROR "scripts/build-windows-deps.sh failed:\n${deps_output}")
  endif()
  if(DEFINED ENV{ORVANECAM_CACHE})
    set(cache_root "$ENV{ORVANECAM_CACHE}")
  elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(cache_root "$ENV{XDG_CACHE_HOME}/orvanecam")
  else()
    set(cache_root "$ENV{HOME}/.cache/orvanecam")
  endif()
  include(${cache_root}/windows-deps/${CMAKE_SYSTEM_PROCESSOR}/paths.cmake)
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
  target_link_libraries(ffmpeg INTERFACE ${MINGW_ZLIB} bcrypt)
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
