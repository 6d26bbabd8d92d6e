cmake_minimum_required(VERSION 3.25)
# Checks a Windows binary with objdump: the PE format for the target processor, an optional
# export by its exact name, and that every imported DLL is one that Windows itself provides
# (so the C and C++ runtimes must have been linked statically).
execute_process(COMMAND ${OBJDUMP} -p ${BINARY} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objdump could not read ${BINARY}")
endif()

if(PROCESSOR STREQUAL "i686")
  set(format "pei-i386")
else()
  set(format "pei-x86-64")
endif()
if(NOT dump MATCHES "file format ${format}")
  message(FATAL_ERROR "${BINARY} is not ${format}")
endif()

if(EXPORT)
  # objdump lists exports as "[ordinal] name"; the name must stand undecorated.
  if(NOT dump MATCHES "\\][ \t]+${EXPORT}\n")
    message(FATAL_ERROR "${BINARY} does not export ${EXPORT} by that exact name")
  endif()
endif()

set(system_dlls KERNEL32.dll USER32.dll GDI32.dll OPENGL32.dll GLU32.dll SHELL32.dll
    ADVAPI32.dll COMDLG32.dll COMCTL32.dll msvcrt.dll WS2_32.dll OLE32.dll WINMM.dll)
string(TOLOWER "${system_dlls}" allowed)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
if(NOT imports)
  message(FATAL_ERROR "no imports found in ${BINARY}")
endif()
foreach(line IN LISTS imports)
  string(REPLACE "DLL Name: " "" name "${line}")
  string(STRIP "${name}" name)
  string(TOLOWER "${name}" lower)
  if(NOT lower IN_LIST allowed)
    message(FATAL_ERROR "${BINARY} imports ${name}, which Windows does not provide")
  endif()
  message(STATUS "imports ${name}")
endforeach()
