cmake_policy(VERSION 3.25)
# Writes a C++ source that holds a file's bytes: -DINPUT=file -DOUTPUT=file.cpp -DNAME=symbol
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," body "${hex}")
string(REGEX REPLACE "(([^,]*,){16})" "\\1\n" body "${body}")
file(WRITE ${OUTPUT} "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n"
  "extern const char ${NAME}[];\nextern const std::size_t ${NAME}Size;\n"
  "const char ${NAME}[] = {\n${body}\n};\nconst std::size_t ${NAME}Size = ${size};\n")
