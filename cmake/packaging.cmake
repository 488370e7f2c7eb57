# The Windows package users install, made by CPack from the install rules below: one zip with both
# bitnesses' binaries (x64/, x86/), stripped and (with ORVANECAM_SIGN_PFX) signed, the public
# header, the Python producer's wheel, install.cmd, uninstall.cmd and SHA256SUMS; and one zip of
# the binaries' debug information, which each stripped binary names (a debug link). The 32-bit
# build makes it, taking in the 64-bit build beside it (ORVANECAM_OTHER_BITNESS_BIN); see
# scripts/package-windows.sh.
set(package_folder OrvaneCam-${PROJECT_VERSION})
set(symbols_folder OrvaneCam-${PROJECT_VERSION}-symbols)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(bits_folder x64)
else()
  set(bits_folder x86)
endif()
set(shipped_targets orvanecam orvanecam-send orvanecam-capture orvanecam-register
    orvanecam-doctor orvanecam-mfcamera)

# Each shipped binary as shipped: its debug information copied out, then stripped with a link to
# that copy.
set(shipped_dir ${PROJECT_BINARY_DIR}/shipped)
set(symbols_dir ${PROJECT_BINARY_DIR}/symbols)
file(MAKE_DIRECTORY ${shipped_dir} ${symbols_dir} ${PROJECT_BINARY_DIR}/shipped_stamps)
set(shipped_files "")
set(stamps "")
set(symbol_files "")
foreach(target IN LISTS shipped_targets)
  set(name $<TARGET_FILE_NAME:${target}>)
  set(stamp ${PROJECT_BINARY_DIR}/shipped_stamps/${target})
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> ${symbols_dir}/${name}.debug
    COMMAND ${CMAKE_STRIP} --strip-all -o ${shipped_dir}/${name} $<TARGET_FILE:${target}>
    COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=${name}.debug ${shipped_dir}/${name}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    WORKING_DIRECTORY ${symbols_dir}
    DEPENDS ${target}
    COMMENT "Stripping ${target} for the package")
  list(APPEND shipped_files ${shipped_dir}/${name})
  list(APPEND symbol_files ${symbols_dir}/${name}.debug)
  list(APPEND stamps ${stamp})
endforeach()
add_custom_target(shipped_binaries ALL DEPENDS ${stamps})

install(FILES ${shipped_files} DESTINATION ${package_folder}/${bits_folder} COMPONENT runtime)
install(FILES ${symbol_files} DESTINATION ${symbols_folder}/${bits_folder} COMPONENT symbols)
install(CODE "
  set(ORVANECAM_BINARIES_DIR \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${package_folder}/${bits_folder}\")
  include(${PROJECT_SOURCE_DIR}/cmake/sign_binaries.cmake)" COMPONENT runtime)

if(bits_folder STREQUAL "x64")
  # What both bitnesses share, from one of them. Command scripts keep Windows line endings, which
  # cmd's labels and blocks depend on.
  install(FILES ${PROJECT_SOURCE_DIR}/include/orvanecam/orvanecam.h
          DESTINATION ${package_folder}/include/orvanecam COMPONENT runtime)
  foreach(script install.cmd uninstall.cmd)
    file(READ ${PROJECT_SOURCE_DIR}/packaging/windows/${script} text)
    string(REPLACE "@ORVANECAM_VERSION@" "${PROJECT_VERSION}" text "${text}")
    string(REGEX REPLACE "\r?\n" "\r\n" text "${text}")
    file(WRITE ${PROJECT_BINARY_DIR}/packaging/${script} "${text}")
    install(FILES ${PROJECT_BINARY_DIR}/packaging/${script} DESTINATION ${package_folder}
            COMPONENT runtime)
  endforeach()
  install(CODE "
    execute_process(COMMAND bash -c \"source '${PROJECT_SOURCE_DIR}/scripts/common.sh' &&
                                      build_python_wheel \\\"\$1\\\"\" wheel
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${package_folder}/python\"
                    RESULT_VARIABLE wheel_result)
    if(NOT wheel_result EQUAL 0)
      message(FATAL_ERROR \"the Python wheel could not be built\")
    endif()" COMPONENT runtime)
elseif(ORVANECAM_OTHER_BITNESS_BIN)
  # Last of all, the checksums of everything both builds installed.
  install(CODE "
    set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${package_folder}\")
    file(GLOB_RECURSE files RELATIVE \${root} \${root}/*)
    list(REMOVE_ITEM files SHA256SUMS)
    list(SORT files)
    set(sums \"\")
    foreach(file IN LISTS files)
      file(SHA256 \${root}/\${file} sum)
      string(APPEND sums \"\${sum}  \${file}\\n\")
    endforeach()
    file(WRITE \${root}/SHA256SUMS \"\${sums}\")" COMPONENT runtime)
  get_filename_component(other_build ${ORVANECAM_OTHER_BITNESS_BIN} DIRECTORY)
  set(CPACK_INSTALL_CMAKE_PROJECTS
      "${other_build};OrvaneCam;ALL;/" "${PROJECT_BINARY_DIR};OrvaneCam;ALL;/")
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME OrvaneCam)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime symbols)
set(CPACK_ARCHIVE_RUNTIME_FILE_NAME OrvaneCam-${PROJECT_VERSION}-windows)
set(CPACK_ARCHIVE_SYMBOLS_FILE_NAME OrvaneCam-${PROJECT_VERSION}-windows-symbols)
include(CPack)
