# Runs the configure-time check of the idle reset option on one value (cmake -P) and prints the
# source it writes.
set(PROJECT_SOURCE_DIR "${SOURCE}")
include("${SOURCE}/cmake/IdleReset.cmake")
if(DEFINED MINIMUM)
  idle_reset_source("${OUT}" "${SECONDS}" TEST_MINIMUM ${MINIMUM})
else()
  idle_reset_source("${OUT}" "${SECONDS}")
endif()
file(READ "${OUT}" source)
message("${source}")
