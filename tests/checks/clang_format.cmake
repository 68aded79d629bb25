cmake_policy(VERSION 3.25)
# Fails when a tracked source file differs from what clang-format makes of it.
execute_process(COMMAND git ls-files "*.cpp" "*.h" "*.c"
  WORKING_DIRECTORY ${SOURCE_DIR} OUTPUT_VARIABLE listed RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  # Not a git checkout: fall back to the source folders.
  file(GLOB_RECURSE listed RELATIVE ${SOURCE_DIR}
    ${SOURCE_DIR}/chess/*.cpp ${SOURCE_DIR}/chess/*.h ${SOURCE_DIR}/plugin/*.cpp ${SOURCE_DIR}/plugin/*.h
    ${SOURCE_DIR}/host/*.cpp ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h ${SOURCE_DIR}/bench/*.cpp)
else()
  string(REPLACE "\n" ";" listed "${listed}")
endif()
set(files "")
foreach(name IN LISTS listed)
  if(name AND EXISTS ${SOURCE_DIR}/${name})
    list(APPEND files ${name})
  endif()
endforeach()
execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror ${files}
  WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE rc ERROR_VARIABLE complaints)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "not formatted (run clang-format -i on them):\n${complaints}")
endif()
list(LENGTH files count)
message(STATUS "${count} files formatted")
