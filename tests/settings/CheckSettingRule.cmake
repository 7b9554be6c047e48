# Runs the build's check of one value (cmake -P): KEY is the run-time key whose CMake variable
# gets VALUE, every other variable a valid one. Prints "accepted" when the build takes it.
set(PROJECT_SOURCE_DIR "${SOURCE}")
include("${SOURCE}/cmake/NavigationTargets.cmake")
include("${SOURCE}/cmake/IdleReset.cmake")
set(clinicHost clinic.example)
set(siteDomain site.example)
set(siteWwwHost www.site.example)
set(overviewVideo video)
set(playlist list)
if(KEY STREQUAL "idleResetSeconds")
  idle_reset_source("${OUT}" "${VALUE}")
else()
  set(${KEY} "${VALUE}")
  navigation_targets_source("${OUT}" "${clinicHost}" "${siteDomain}" "${siteWwwHost}"
                            "${overviewVideo}" "${playlist}")
endif()
message("accepted")
