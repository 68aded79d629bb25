cmake_policy(VERSION 3.25)
# Runs one command and compares its standard output with a golden file.
# With the environment variable UPDATE_GOLDEN=1 the golden file is rewritten instead.
#   -DCOMMAND="prog;arg;..." -DGOLDEN=file -DWORKDIR=dir [-DEXPECT_EXIT=n]
execute_process(COMMAND ${COMMAND} WORKING_DIRECTORY ${WORKDIR}
  OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE exit)
if(NOT DEFINED EXPECT_EXIT)
  set(EXPECT_EXIT 0)
endif()
if(NOT exit EQUAL EXPECT_EXIT)
  message(FATAL_ERROR "exit code ${exit}, expected ${EXPECT_EXIT}\n${errors}")
endif()
if("$ENV{UPDATE_GOLDEN}" STREQUAL "1")
  file(WRITE ${GOLDEN} "${actual}")
  message(STATUS "rewrote ${GOLDEN}")
  return()
endif()
file(READ ${GOLDEN} expected)
if(NOT actual STREQUAL expected)
  file(WRITE ${GOLDEN}.actual "${actual}")
  message(FATAL_ERROR "output differs from ${GOLDEN} (actual output in ${GOLDEN}.actual)")
endif()
