# Builds the module resource "mpresets" from the factory bank: one document
# with the shared defaults and a "Directory" per folder ("NN Name" sorts the
# folders; the number is dropped), each holding its preset files in name order.
# Usage: cmake -DPRESET_DIR=... -DOUTPUT=... -P EmbedResources.cmake

function(read_element path out)
  file(READ "${path}" text)
  string(REGEX REPLACE "<\\?xml[^>]*\\?>[\r\n]*" "" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(document "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Sonverapresets>\n")
read_element("${PRESET_DIR}/Defaults.xml" defaults)
string(APPEND document "${defaults}")

file(GLOB entries LIST_DIRECTORIES true RELATIVE "${PRESET_DIR}" "${PRESET_DIR}/*")
list(SORT entries)
foreach(folder IN LISTS entries)
  if(NOT IS_DIRECTORY "${PRESET_DIR}/${folder}")
    continue()
  endif()
  string(REGEX REPLACE "^[0-9]+ " "" name "${folder}")
  string(APPEND document "<Directory Name=\"${name}\">\n")
  file(GLOB presets "${PRESET_DIR}/${folder}/*.xml")
  list(SORT presets)
  foreach(preset IN LISTS presets)
    read_element("${preset}" element)
    string(APPEND document "${element}")
  endforeach()
  string(APPEND document "</Directory>\n")
endforeach()
string(APPEND document "</Sonverapresets>\n")

file(WRITE "${OUTPUT}.xml" "${document}")
file(READ "${OUTPUT}.xml" hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from entry/presets by EmbedResources.cmake; do not edit.\n"
  "#include \"entry/ModuleResources.h\"\n\n"
  "namespace corvane {\nnamespace {\n"
  "const unsigned char FactoryPresetBytes[] = {\n${bytes}};\n"
  "}  // namespace\n\n"
  "const ModuleResource ModuleResourceTable[] = {\n"
  "    {\"mpresets\", FactoryPresetBytes, ${size}, false},\n"
  "};\n"
  "const size_t ModuleResourceCount = sizeof ModuleResourceTable / sizeof ModuleResourceTable[0];\n\n"
  "}  // namespace corvane\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
