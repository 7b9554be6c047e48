# After this many seconds a page that could not be reached is loaded again, then after twice
# as long, up to ten times as long, until it loads; 0 turns it off.
set(DUVUZEZERA_RETRY_SECONDS 0 CACHE STRING
    "Seconds before a page that could not be reached is loaded again (0: never, else 5..3600)")

# Writes the source that defines BuildRetryDelay() for `retry` and BuildLoadTimeout() (60 s),
# after checking them. Only a test build passes LOAD_TIMEOUT, to wait a few seconds.
function(page_recovery_source output retry)
  cmake_parse_arguments(arg "" "LOAD_TIMEOUT" "" ${ARGN})
  if(NOT "${retry}" MATCHES "^[0-9]+$" OR
     (NOT retry EQUAL 0 AND (retry LESS 5 OR retry GREATER 3600)))
    message(FATAL_ERROR
      "DUVUZEZERA_RETRY_SECONDS must be 0 (off) or a whole number from 5 to 3600; got '${retry}'")
  endif()
  math(EXPR retry "${retry}")  # no leading zero, which C++ would read as octal
  set(load_timeout 60)
  if(DEFINED arg_LOAD_TIMEOUT)
    set(load_timeout ${arg_LOAD_TIMEOUT})
  endif()
  configure_file("${PROJECT_SOURCE_DIR}/mainwindow/BuildPageRecovery.cpp.in" "${output}" @ONLY)
endfunction()
