# Writes a C++ source holding a file's bytes as one string literal (compilers
# read that far faster than a list of numbers), plain C++ on every system:
#   cmake -DINPUT=<file> -DOUTPUT=<source> -DSYMBOL=<name> -P EmbedFile.cmake
# defines extern "C" `const char <name>_data[]` and `const unsigned long long <name>_size`.
file(READ "${INPUT}" bytes HEX)
string(REGEX REPLACE "(..)" "\\\\x\\1" escaped "${bytes}")
file(WRITE "${OUTPUT}.partial"
     "// Generated from ${INPUT}.\n"
     "extern \"C\" {\n"
     "extern const char ${SYMBOL}_data[];\n"
     "extern const unsigned long long ${SYMBOL}_size;\n"
     "alignas(16) const char ${SYMBOL}_data[] = \"${escaped}\";\n"
     "const unsigned long long ${SYMBOL}_size = sizeof(${SYMBOL}_data) - 1;\n"
     "}\n")
file(RENAME "${OUTPUT}.partial" "${OUTPUT}")
