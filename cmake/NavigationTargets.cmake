# The five navigation targets are fixed when the program is built. The defaults are
# placeholders on the reserved .example domain; a host may carry a port.
set(DUVUZEZERA_CLINIC_HOST "clinic.duvuzezera.example" CACHE STRING
    "Host of the clinic web application (a bare host is opened as stored, no scheme)")
set(DUVUZEZERA_SITE_DOMAIN "duvuzezera.example" CACHE STRING
    "Domain of the product web site; also the caption of its button")
set(DUVUZEZERA_SITE_WWW_HOST "www.duvuzezera.example" CACHE STRING
    "The product web site's www host, which serves the user guide")
set(DUVUZEZERA_OVERVIEW_VIDEO "OVERVIEW_VIDEO_ID" CACHE STRING "YouTube identifier of the overview video")
set(DUVUZEZERA_PLAYLIST "PLAYLIST_ID" CACHE STRING "YouTube identifier of the product playlist")

# Writes the source that defines BuildNavigationTargets() for the given values, after checking
# them, so that no value can break out of the address or the layout it lands in. The program
# uses the cache variables above; a test build passes values of its own.
function(navigation_targets_source output clinic_host site_domain site_www_host overview_video playlist)
  foreach(var clinic_host site_domain site_www_host)
    if(NOT "${${var}}" MATCHES "^[A-Za-z0-9]([A-Za-z0-9.-]*[A-Za-z0-9])?(:[0-9]+)?$")
      string(TOUPPER "${var}" name)
      message(FATAL_ERROR "DUVUZEZERA_${name} must be a host name, optionally with :port; got '${${var}}'")
    endif()
  endforeach()
  foreach(var overview_video playlist)
    if(NOT "${${var}}" MATCHES "^[A-Za-z0-9_-]+$")
      string(TOUPPER "${var}" name)
      message(FATAL_ERROR "DUVUZEZERA_${name} must be a YouTube identifier (letters, digits, - and _); got '${${var}}'")
    endif()
  endforeach()
  configure_file("${PROJECT_SOURCE_DIR}/mainwindow/BuildNavigationTargets.cpp.in" "${output}" @ONLY)
endfunction()
