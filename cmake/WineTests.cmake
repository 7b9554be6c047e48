# GoogleTest executables of the Windows build, run under Wine through the emulator.
# Test lists are read when ctest runs, so the build itself never starts Wine.
function(wine_gtest target)
  cmake_parse_arguments(arg "" "PREFIX" "PROPERTIES" ${ARGN})
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    TEST_PREFIX "${arg_PREFIX}"
    PROPERTIES TIMEOUT 90 ${arg_PROPERTIES})
endfunction()

# The path under which a Windows program of the build is seen from inside Wine.
function(windows_path out path)
  string(REPLACE "/" "\\\\" path "${path}")
  set(${out} "Z:${path}" PARENT_SCOPE)
endfunction()
