# Run by embedded_resources(): ENTRIES is a list of TYPE|NAME|FILE, OUTPUT the source to write.
set(arrays "")
set(table "")
set(index 0)
foreach(entry IN LISTS ENTRIES)
  if(entry STREQUAL "")
    continue()
  endif()
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 type)
  list(GET parts 1 name)
  list(GET parts 2 file)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
  string(APPEND arrays "const std::uint8_t kData${index}[] = {\n${bytes}};\n")
  string(APPEND table "    {\"${type}\", \"${name}\", kData${index}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.tmp" "// Generated at build time from the program's resource files.
#include \"framework/gtk/Resources.h\"

namespace {
${arrays}
const fw::gtk::EmbeddedResource kResources[] = {
${table}};
}  // namespace

std::span<const fw::gtk::EmbeddedResource> fw::gtk::EmbeddedResources() { return kResources; }
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
