# The five navigation targets are fixed when the program is built. The defaults are
# placeholders on the reserved .example domain; a host may carry a port.
set(DUVUZEZERA_CLINIC_HOST "clinic.duvuzezera.example" CACHE STRING
    "Host of the clinic web application, opened as stored (no scheme)")
set(DUVUZEZERA_SITE_DOMAIN "duvuzezera.example" CACHE STRING
    "Domain of the product web site; also the caption of its button")
set(DUVUZEZERA_SITE_WWW_HOST "www.duvuzezera.example" CACHE STRING
    "The product web site's www host, which serves the user guide")
set(DUVUZEZERA_OVERVIEW_VIDEO "OVERVIEW_VIDEO_ID" CACHE STRING "YouTube identifier of the overview video")
set(DUVUZEZERA_PLAYLIST "PLAYLIST_ID" CACHE STRING "YouTube identifier of the product playlist")

# Checked here, so that no value can break out of the address or the layout it lands in.
foreach(var DUVUZEZERA_CLINIC_HOST DUVUZEZERA_SITE_DOMAIN DUVUZEZERA_SITE_WWW_HOST)
  if(NOT "${${var}}" MATCHES "^[A-Za-z0-9]([A-Za-z0-9.-]*[A-Za-z0-9])?(:[0-9]+)?$")
    message(FATAL_ERROR "${var} must be a host name, optionally with :port; got '${${var}}'")
  endif()
endforeach()
foreach(var DUVUZEZERA_OVERVIEW_VIDEO DUVUZEZERA_PLAYLIST)
  if(NOT "${${var}}" MATCHES "^[A-Za-z0-9_-]+$")
    message(FATAL_ERROR "${var} must be a YouTube identifier (letters, digits, - and _); got '${${var}}'")
  endif()
endforeach()
