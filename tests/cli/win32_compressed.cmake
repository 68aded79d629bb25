cmake_policy(VERSION 3.25)
# pgnutil.exe on a folder of the same three games compressed four ways: the gzip file's games are
# written; the zstd, bzip2 and xz files are each named as not read by this build, and the job
# ends with exit status 1.
#   cmake [-DWINE_RUN=cmake/wine-run -DPREFIX=wineprefix] -DPGNUTIL=pgnutil.exe -DFOLDER=folder
#         -DWORK=folder -P win32_compressed.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(run "")
if(WINE_RUN)
  set(run ${WINE_RUN} ${PREFIX})
endif()
execute_process(COMMAND ${run} ${PGNUTIL} ${FOLDER} -q --tags roster -o ${WORK}/out RESULT_VARIABLE rc
                OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 120)
set(said "${output}${errors}")
if(NOT rc EQUAL 1)
  message(FATAL_ERROR "exit status ${rc}, not 1:\n${said}")
endif()
foreach(name zstd bzip2 xz)
  if(NOT said MATCHES "compressed with ${name}, which this build of the program does not read")
    message(FATAL_ERROR "the ${name} file is not named as refused:\n${said}")
  endif()
endforeach()
file(READ ${WORK}/out.pgn written)
# Matches without a square bracket: a bracket in a list item keeps CMake from splitting the list.
string(REGEX MATCHALL "Event \"[^\"]*\"" events "${written}")
list(LENGTH events games)
if(NOT games EQUAL 3)
  message(FATAL_ERROR "${games} games written from the gzip file, not 3:\n${said}")
endif()
