# Script mode: writes OUTPUT, a header defining one byte array per NAME=FILE pair in FILES, so
# files ship inside the binary without a generated source kept in the repository.
#   cmake -DOUTPUT=out.h "-DFILES=kName=path;..." -P EmbedFiles.cmake
set(text "// Generated at build time by cmake/EmbedFiles.cmake. Do not edit.\n#pragma once\n\n")
foreach(pair IN LISTS FILES)
  string(FIND "${pair}" "=" at)
  string(SUBSTRING "${pair}" 0 ${at} name)
  math(EXPR from "${at} + 1")
  string(SUBSTRING "${pair}" ${from} -1 file)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND text "inline constexpr unsigned char ${name}[] = {${bytes}};\n")
endforeach()
file(WRITE "${OUTPUT}.tmp" "${text}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
