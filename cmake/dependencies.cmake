# Third-party libraries: Debian's packages natively; for Windows, the static MinGW builds that
# scripts/build-windows-deps.sh keeps in a cache outside the source tree.

if(CMAKE_CROSSCOMPILING AND WIN32)
  # Cheap when the cache is current; builds what is missing on a fresh machine.
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/build-windows-deps.sh
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
  include(${cache_root}/windows-deps/paths.cmake)
  add_library(libyuv STATIC IMPORTED)
  set_target_properties(libyuv PROPERTIES
    IMPORTED_LOCATION ${ORVANECAM_WIN_LIBYUV_PREFIX}/lib/libyuv.a
    INTERFACE_INCLUDE_DIRECTORIES ${ORVANECAM_WIN_LIBYUV_PREFIX}/include)
else()
  find_path(LIBYUV_INCLUDE_DIR libyuv.h REQUIRED)
  find_library(LIBYUV_LIBRARY yuv REQUIRED)
  add_library(libyuv UNKNOWN IMPORTED)
  set_target_properties(libyuv PROPERTIES
    IMPORTED_LOCATION ${LIBYUV_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${LIBYUV_INCLUDE_DIR})
endif()
