# Compiler settings every target of ours shares.

if(ORVANECAM_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  # Target Windows 7 and later APIs; keep <windows.h> lean.
  add_compile_definitions(_WIN32_WINNT=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE)
endif()

# Warnings apply to our own targets only, not to GoogleTest built from source.
function(orvanecam_target_defaults target)
  # No -Wnon-virtual-dtor (COM interfaces have no virtual destructor by design) and no
  # -Wnull-dereference (it flags every pointer cast between a COM class and its interfaces).
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wcast-align)
  if(ORVANECAM_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()

# The project's version in a Windows binary's version resource (file and product version,
# product name, description), where Explorer and support scripts read it. Nothing elsewhere.
function(orvanecam_add_version target description)
  if(NOT WIN32)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  get_target_property(output_name ${target} OUTPUT_NAME)
  if(NOT output_name)
    set(output_name ${target})
  endif()
  if(type STREQUAL "SHARED_LIBRARY")
    set(version_file_type VFT_DLL)
    set(version_file ${output_name}.dll)
  else()
    set(version_file_type VFT_APP)
    set(version_file ${output_name}.exe)
  endif()
  set(version_description ${description})
  set(version_name ${output_name})
  set(resource ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${resource} @ONLY)
  target_sources(${target} PRIVATE ${resource})
endfunction()
