# Checks a built Windows program: it imports only the DLLs in ALLOWED (compared
# case-insensitively) and runs in its subsystem: SUBSYSTEM 2, the Windows GUI
# (the default), or 3, the console.
# Usage: cmake -DOBJDUMP=... -DPROGRAM=... -DALLOWED=a.dll;b.dll [-DSUBSYSTEM=3] -P check_imports.cmake
cmake_minimum_required(VERSION 3.20)

if(NOT DEFINED SUBSYSTEM)
  set(SUBSYSTEM 2)
endif()

foreach(var OBJDUMP PROGRAM ALLOWED)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_imports: ${var} is not set")
  endif()
endforeach()
if(NOT EXISTS "${PROGRAM}")
  message(FATAL_ERROR "check_imports: ${PROGRAM} does not exist")
endif()

execute_process(COMMAND "${OBJDUMP}" -p "${PROGRAM}"
  OUTPUT_VARIABLE dump RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "check_imports: ${OBJDUMP} failed (${rc}): ${err}")
endif()

set(allowed)
foreach(dll IN LISTS ALLOWED)
  string(TOLOWER "${dll}" dll)
  list(APPEND allowed "${dll}")
endforeach()

string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
if(NOT lines)
  message(FATAL_ERROR "check_imports: no import table found in ${PROGRAM}")
endif()
set(imports)
set(bad)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^DLL Name: *" "" dll "${line}")
  string(STRIP "${dll}" dll)
  list(APPEND imports "${dll}")
  string(TOLOWER "${dll}" lower)
  if(NOT lower IN_LIST allowed)
    list(APPEND bad "${dll}")
  endif()
endforeach()

string(REGEX MATCH "\nSubsystem[ \t]+([0-9a-fA-F]+)" _ "${dump}")
set(subsystem "${CMAKE_MATCH_1}")

message(STATUS "imports of ${PROGRAM}: ${imports}")
message(STATUS "subsystem: ${subsystem}")
set(failed FALSE)
if(bad)
  message(SEND_ERROR "not allowed: ${bad} (allowed: ${ALLOWED})")
  set(failed TRUE)
endif()
if(NOT subsystem MATCHES "^0*${SUBSYSTEM}$")
  message(SEND_ERROR "subsystem is '${subsystem}', not ${SUBSYSTEM} (2 Windows GUI, 3 console)")
  set(failed TRUE)
endif()
if(failed)
  message(FATAL_ERROR "check_imports: ${PROGRAM} failed the check")
endif()
