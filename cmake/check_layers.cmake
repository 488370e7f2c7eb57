# Fails when a source file includes across a layer the allow-list below does not name, or when
# code outside src/platform and src/sdk includes an operating-system or SDK header.
# Usage: cmake -DROOT=<source dir> -P check_layers.cmake
cmake_minimum_required(VERSION 3.25)

# Each layer of src/ and what it may include besides itself ("orvanecam" is the public header).
set(allowed_geometry "")
set(allowed_platform "")
set(allowed_sdk platform)
set(allowed_settings platform)
set(allowed_exchange geometry platform)
set(allowed_picture geometry exchange platform)
set(allowed_producer orvanecam geometry exchange platform)
set(allowed_streaming sdk platform)
set(allowed_filter streaming picture exchange settings geometry sdk platform)
set(allowed_mfsource filter streaming picture exchange geometry sdk platform)
set(allowed_com mfsource filter streaming sdk platform)
set(allowed_media orvanecam producer picture exchange geometry platform)
set(allowed_api orvanecam com mfsource media producer filter streaming picture exchange settings geometry
    sdk platform)
# The tools: their own folders, the public header, the platform layer and the SDK declarations.
# The PipeWire bridge is a capture client built on the library layers themselves.
set(allowed_tools orvanecam capture common graph_host mfcamera mfsource pipewire filter exchange
    picture settings platform sdk geometry)
set(system_layers platform sdk)

# Angle includes any layer may use: the C++ and C standard library, the public header, the
# picture and media libraries, and the compiler's SSE2 intrinsics.
set(portable_headers
    "^[a-z_]+$" "^c[a-z]+$" "^(stdint|stddef|string|wchar|uchar)\\.h$" "^orvanecam/"
    "^libyuv(\\.h|/)" "^lib(avformat|avcodec|avutil|swscale|swresample)/" "^emmintrin\\.h$")

set(violations "")
file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/src/*.h ${ROOT}/src/*.cpp ${ROOT}/src/*.c
     ${ROOT}/tools/*.h ${ROOT}/tools/*.cpp)
foreach(source IN LISTS sources)
  string(REGEX MATCH "^(src|tools)/([a-z_]+)/" prefix "${source}")
  if(CMAKE_MATCH_1 STREQUAL "tools")
    set(layer tools)
    set(own "")
  else()
    set(layer ${CMAKE_MATCH_2})
    set(own ${CMAKE_MATCH_2})
  endif()
  if(NOT DEFINED allowed_${layer})
    list(APPEND violations "${source}: layer '${layer}' is not in the allow-list")
    continue()
  endif()
  file(STRINGS ${ROOT}/${source} includes REGEX "^#include ")
  foreach(line IN LISTS includes)
    if(line MATCHES "^#include \"([a-z_]+)/")
      set(target ${CMAKE_MATCH_1})
      if(NOT target STREQUAL own AND NOT target IN_LIST allowed_${layer})
        list(APPEND violations "${source}: ${layer} may not include \"${target}/\"")
      endif()
    elseif(line MATCHES "^#include <([^>]+)>" AND NOT layer IN_LIST system_layers)
      set(header ${CMAKE_MATCH_1})
      set(portable FALSE)
      foreach(pattern IN LISTS portable_headers)
        if(header MATCHES "${pattern}")
          set(portable TRUE)
        endif()
      endforeach()
      if(NOT portable)
        list(APPEND violations "${source}: <${header}> belongs behind src/platform or src/sdk")
      endif()
    endif()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "includes that cross the layering:\n  ${text}")
endif()
list(LENGTH sources count)
message(STATUS "layering holds in ${count} files")
