# Reads the plug-in's export and import tables with objdump and checks them.
cmake_policy(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()

# Export names follow the "[Ordinal/Name Pointer] Table" heading, one "[n] name" a line.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]*\\[[ 0-9]+\\][^\n]*\n)*)" table "${dump}")
# Square brackets confuse CMake lists, so the index marks are dropped before splitting.
string(REGEX REPLACE "[ \t]*\\[[ 0-9]+\\][ \t]*" "" names "${CMAKE_MATCH_1}")
string(STRIP "${names}" names)
string(REPLACE "\n" ";" exports "${names}")
list(SORT exports)
if(NOT exports STREQUAL "StartTarselProc;StopTarselProc")
  message(FATAL_ERROR "exports are [${exports}], expected exactly StartTarselProc and StopTarselProc")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
set(allowed kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll shell32.dll shlwapi.dll
    ole32.dll oleaut32.dll advapi32.dll msvcrt.dll)
foreach(import IN LISTS imports)
  string(REGEX REPLACE "DLL Name: " "" name "${import}")
  string(STRIP "${name}" name)
  string(TOLOWER "${name}" lower)
  if(NOT lower IN_LIST allowed AND NOT lower MATCHES "^api-ms-win-")
    message(FATAL_ERROR "the plug-in imports ${name}, which is not a Windows system DLL")
  endif()
endforeach()
message(STATUS "exports: ${exports}; imports: ${imports}")
