# Compiles files into the executable as named resources, the way the Windows build links
# them as resource-script entries: the program then reads nothing from disk at run time.
#
# embedded_resources(OUTPUT TYPE NAME FILE [TYPE NAME FILE ...]) writes OUTPUT at build time
# (again whenever an input changes); it defines fw::gtk::EmbeddedResources().
function(embedded_resources output)
  set(inputs "")
  set(entries "")
  list(LENGTH ARGN count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 3)
    math(EXPR n "${i} + 1")
    math(EXPR f "${i} + 2")
    list(GET ARGN ${i} type)
    list(GET ARGN ${n} name)
    list(GET ARGN ${f} file)
    list(APPEND inputs "${file}")
    string(APPEND entries "${type}|${name}|${file};")
  endforeach()
  add_custom_command(OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" "-DOUTPUT=${output}" "-DENTRIES=${entries}"
            -P "${PROJECT_SOURCE_DIR}/cmake/WriteEmbeddedResources.cmake"
    DEPENDS ${inputs} "${PROJECT_SOURCE_DIR}/cmake/WriteEmbeddedResources.cmake"
    VERBATIM)
endfunction()
