# Where the project keeps what outlives a checkout (the Windows libraries, the Wine prefix):
# $ORVANECAM_CACHE, else $XDG_CACHE_HOME/orvanecam, else ~/.cache/orvanecam. The build includes
# this file; the scripts run it (cmake -P) and read the folder it prints.
if(DEFINED ENV{ORVANECAM_CACHE})
  set(ORVANECAM_CACHE_ROOT "$ENV{ORVANECAM_CACHE}")
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(ORVANECAM_CACHE_ROOT "$ENV{XDG_CACHE_HOME}/orvanecam")
else()
  set(ORVANECAM_CACHE_ROOT "$ENV{HOME}/.cache/orvanecam")
endif()
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${ORVANECAM_CACHE_ROOT}")
endif()
