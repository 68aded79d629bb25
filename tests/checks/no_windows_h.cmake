# Fails when a portable source file includes <windows.h>. Only files named *_win32.* (and the
# Windows-only test folder) may talk to Windows directly.
file(GLOB_RECURSE sources
  RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.hpp ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.c)
set(offenders "")
foreach(source IN LISTS sources)
  if(source MATCHES "^build/" OR source MATCHES "_win32\\.[a-z]+$" OR source MATCHES "^tests/win32/")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"][Ww]indows\\.h[>\"]")
  if(includes)
    list(APPEND offenders ${source})
  endif()
endforeach()
list(LENGTH sources count)
if(offenders)
  message(FATAL_ERROR "portable sources include windows.h: ${offenders}")
endif()
message(STATUS "${count} sources checked, none portable includes windows.h")
