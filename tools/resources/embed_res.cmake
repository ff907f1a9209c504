# cmake -DINPUT=<file.res> -DOUTPUT=<file.cpp> -P embed_res.cmake
# Writes a C++ source that holds the .res image's bytes and registers them with the
# platform's resource table from a static initialiser.
if(NOT INPUT OR NOT OUTPUT)
  message(FATAL_ERROR "embed_res.cmake needs -DINPUT=<.res> and -DOUTPUT=<.cpp>")
endif()

file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hex_length)
if(hex_length EQUAL 0)
  message(FATAL_ERROR "embed_res.cmake: ${INPUT} is empty")
endif()
math(EXPR byte_count "${hex_length} / 2")

# Sixteen bytes to a line.
set(bytes "")
set(offset 0)
while(offset LESS hex_length)
  string(SUBSTRING "${hex}" ${offset} 32 line)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," line "${line}")
  string(APPEND bytes "    ${line}\n")
  math(EXPR offset "${offset} + 32")
endwhile()

file(WRITE ${OUTPUT}.tmp
"// Generated from ${INPUT} by embed_res.cmake; do not edit.
#include \"dialog/module_resources.h\"

#include <stddef.h>

namespace {
// DWORD-aligned like a resource section, so the templates inside are too.
alignas(4) const unsigned char resourceImage[${byte_count}] = {
${bytes}};
[[maybe_unused]] const bool registered =
    quarvel::dialog::RegisterModuleResources(resourceImage, sizeof resourceImage);
}  // namespace
")
# Only touch the output when it changes, so an unchanged .res does not rebuild anything.
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
