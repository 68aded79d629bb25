# Runs the substitute host with the plug-in through scripts of user actions, one host process per
# script, all in one fresh folder that holds copies of pgnhost.exe and the plug-in (so the
# settings file of one run is there for the next), and compares what each run prints with its
# expected output. With CLI_ARGS, pgnutil then runs with those arguments (@WORK@ and @SHARED@
# replaced), and every file it writes into WORK/cli must equal the file of that name the panel
# wrote into WORK/panel, with none missing on either side.
#   cmake -DWINE_RUN=... -DPREFIX=... -DHOST=pgnhost.exe -DPLUGIN=engpgn_util.dll -DWORK=folder
#         -DSCRIPTS=folder -DRUNS="first;second" [-DHOST_OPTIONS=...] [-DNO_SETTINGS=1]
#         [-DMAKE_FOLDERS=names] [-DBIG_FROM=file -DBIG_TIMES=n] [-DNO_ECO_TABLE=1]
#         [-DPGNUTIL=pgnutil.exe -DSHARED=folder -DCLI_ARGS="arguments"] -P host_session.cmake
# Each run NAME plays SCRIPTS/NAME.txt (with @WORK@ and @SOURCE@ replaced) and expects
# SCRIPTS/NAME.out (where a host that fails has its exit status and its own error lines after
# what it printed); a run NAME@DPI plays NAME.txt with the screen at DPI dots per inch and
# expects NAME_DPI.out. UPDATE_GOLDEN=1 in the environment writes the outputs instead.
cmake_policy(VERSION 3.25)

if(SHARED)
  get_filename_component(SHARED "${SHARED}" ABSOLUTE)  # no ".." for the folder browser
endif()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${HOST} ${PLUGIN} DESTINATION ${WORK})
# Installed as beside the real host: the pictures and the ECO table in images\ and plugins\.
get_filename_component(bin ${HOST} DIRECTORY)
foreach(folder images plugins)
  if(EXISTS ${bin}/${folder})
    file(COPY ${bin}/${folder} DESTINATION ${WORK})
  endif()
endforeach()
if(NO_ECO_TABLE)
  file(REMOVE ${WORK}/plugins/ecos.dat)
endif()
get_filename_component(host_name ${HOST} NAME)
get_filename_component(plugin_name ${PLUGIN} NAME)
get_filename_component(source_root ${SCRIPTS}/../../.. ABSOLUTE)
# What some runs need in the folder: folders standing where files would be written, and a large
# collection made of a shared one repeated.
foreach(folder IN LISTS MAKE_FOLDERS)
  file(MAKE_DIRECTORY ${WORK}/${folder})
endforeach()
if(BIG_FROM)
  file(READ ${BIG_FROM} piece)
  foreach(i RANGE 1 ${BIG_TIMES})
    file(APPEND ${WORK}/big.pgn "${piece}\n")
  endforeach()
endif()
# The folder as the host names it (Wine's drive Z:), for outputs that name it.
string(REPLACE "/" "\\" work_as_windows "Z:${WORK}")
string(REPLACE "/" "\\" source_as_windows "Z:${source_root}")

# The screen's resolution is a setting of the prefix, read when a program starts; it is put
# back to 96 whatever happens.
function(set_dpi value)
  execute_process(COMMAND ${WINE_RUN} ${PREFIX} reg add "HKCU\\Control Panel\\Desktop" /v LogPixels
                          /t REG_DWORD /d ${value} /f OUTPUT_QUIET ERROR_QUIET)
endfunction()

set(failure "")
set(dpi_changed FALSE)
foreach(run IN LISTS RUNS)
  set(golden ${run})
  if(run MATCHES "^(.*)@([0-9]+)$")
    set(run ${CMAKE_MATCH_1})
    set(golden ${CMAKE_MATCH_1}_${CMAKE_MATCH_2})
    set_dpi(${CMAKE_MATCH_2})
    set(dpi_changed TRUE)
  endif()
  file(READ ${SCRIPTS}/${run}.txt script)
  string(REPLACE "@WORK@" "${WORK}" script "${script}")
  string(REPLACE "@SOURCE@" "${source_root}" script "${script}")
  string(REPLACE "@SHARED@" "${SHARED}" script "${script}")
  file(WRITE ${WORK}/${run}.txt "${script}")
  separate_arguments(options UNIX_COMMAND "${HOST_OPTIONS}")
  execute_process(COMMAND ${WINE_RUN} ${PREFIX} ${WORK}/${host_name} ${options} --script ${WORK}/${run}.txt
                          ${WORK}/${plugin_name}
                  WORKING_DIRECTORY ${WORK} OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE rc
                  TIMEOUT 240)
  string(REPLACE "\r\n" "\n" output "${output}")
  # A host that fails says so on its error stream, in lines of its own among Wine's.
  if(NOT rc EQUAL 0)
    string(REPLACE "\r\n" "\n" errors "${errors}")
    string(REGEX MATCHALL "pgnhost:[^\n]*\n" said "${errors}")
    list(JOIN said "" said)
    string(APPEND output "exit ${rc}\n${said}")
  endif()
  string(REPLACE "${work_as_windows}" "@WORK@" output "${output}")
  string(REPLACE "${source_as_windows}" "@SOURCE@" output "${output}")
  string(REPLACE "${WORK}" "@WORK@" output "${output}")
  if(DEFINED ENV{UPDATE_GOLDEN})
    file(WRITE ${SCRIPTS}/${golden}.out "${output}")
  else()
    file(READ ${SCRIPTS}/${golden}.out expected)
    if(NOT output STREQUAL expected)
      set(failure "${run}: the host printed\n${output}\ninstead of\n${expected}")
      break()
    endif()
  endif()
endforeach()
if(dpi_changed)
  set_dpi(96)
endif()
if(NOT failure AND CLI_ARGS)
  string(REPLACE "@WORK@" "${WORK}" cli_args "${CLI_ARGS}")
  string(REPLACE "@SHARED@" "${SHARED}" cli_args "${cli_args}")
  separate_arguments(cli_args UNIX_COMMAND "${cli_args}")
  execute_process(COMMAND ${WINE_RUN} ${PREFIX} ${PGNUTIL} ${cli_args} WORKING_DIRECTORY ${WORK}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE cli_output ERROR_VARIABLE cli_errors TIMEOUT 240)
  file(GLOB panel_files RELATIVE ${WORK}/panel ${WORK}/panel/*)
  file(GLOB cli_files RELATIVE ${WORK}/cli ${WORK}/cli/*)
  if(NOT rc EQUAL 0)
    set(failure "pgnutil ${cli_args} failed (${rc}): ${cli_errors}")
  elseif(NOT panel_files STREQUAL cli_files)
    set(failure "the panel wrote [${panel_files}], pgnutil [${cli_files}]")
  elseif(NOT cli_files)
    set(failure "neither wrote any file")
  else()
    foreach(name IN LISTS cli_files)
      file(SHA256 ${WORK}/panel/${name} panel_hash)
      file(SHA256 ${WORK}/cli/${name} cli_hash)
      if(NOT panel_hash STREQUAL cli_hash)
        set(failure "${name} differs between the panel and pgnutil")
      endif()
    endforeach()
  endif()
endif()
if(NOT failure AND NO_SETTINGS AND EXISTS ${WORK}/pgn_util.dat)
  set(failure "a settings file was written although the panel never showed")
endif()
if(failure)
  message(FATAL_ERROR "${failure}")
endif()
message(STATUS "${RUNS}: as expected")
