# GoogleTest and GoogleMock, built from Debian's sources so that both builds use the same version.
set(ORVANECAM_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
if(NOT EXISTS ${ORVANECAM_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${ORVANECAM_GOOGLETEST_SOURCE}; run scripts/setup.sh")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${ORVANECAM_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# One test process per program: under Wine each process start is the expensive part.
function(orvanecam_add_test_program name)
  add_executable(${name} ${ARGN})
  orvanecam_target_defaults(${name})
  target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock)
  add_test(NAME ${name} COMMAND ${name})
endfunction()
