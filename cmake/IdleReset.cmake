# After this many seconds with no input and the splash hidden, the program returns to the
# splash and clears what the visitor's browsing left; 0 turns it off.
set(DUVUZEZERA_IDLE_RESET_SECONDS 0 CACHE STRING
    "Seconds without input before the program returns to the splash and forgets the visitor (0: never, else 30..86400)")
set(DUVUZEZERA_IDLE_WARNING_SECONDS 10 CACHE STRING
    "Seconds before the idle reset that a warning counts down (0: no warning; at most half the reset)")

# Writes the source that defines BuildIdleResetTimeout() for `seconds` and BuildIdleWarning() for
# WARNING (default: the cache variable), after checking them. Only a test build passes
# TEST_MINIMUM, to wait a few seconds rather than half a minute.
function(idle_reset_source output seconds)
  cmake_parse_arguments(arg "" "TEST_MINIMUM;WARNING" "" ${ARGN})
  set(warning "${DUVUZEZERA_IDLE_WARNING_SECONDS}")
  if(DEFINED arg_WARNING)
    set(warning "${arg_WARNING}")
  endif()
  set(minimum 30)
  if(DEFINED arg_TEST_MINIMUM)
    set(minimum ${arg_TEST_MINIMUM})
  endif()
  if(NOT "${seconds}" MATCHES "^[0-9]+$" OR
     (NOT seconds EQUAL 0 AND (seconds LESS minimum OR seconds GREATER 86400)))
    message(FATAL_ERROR
      "DUVUZEZERA_IDLE_RESET_SECONDS must be 0 (off) or a whole number from ${minimum} to 86400; got '${seconds}'")
  endif()
  math(EXPR seconds "${seconds}")  # no leading zero, which C++ would read as octal
  if(NOT "${warning}" MATCHES "^[0-9]+$" OR warning GREATER 43200)
    message(FATAL_ERROR
      "DUVUZEZERA_IDLE_WARNING_SECONDS must be 0 (no warning) or a whole number up to 43200; got '${warning}'")
  endif()
  math(EXPR warning "${warning}")
  configure_file("${PROJECT_SOURCE_DIR}/mainwindow/BuildIdleReset.cpp.in" "${output}" @ONLY)
endfunction()
