# Runs lean_runtime_probe (LEAN) and its canary (CANARY) through EMULATOR
# (its parts separated by "|") and checks what they print.
# Usage: cmake -DEMULATOR=... -DLEAN=... -DCANARY=... -P check_lean_runtime.cmake
cmake_minimum_required(VERSION 3.20)
string(REPLACE "|" ";" EMULATOR "${EMULATOR}")

function(probe program mode)
  execute_process(COMMAND ${EMULATOR} "${program}" ${mode}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
  message(STATUS "${program} ${mode}: status ${rc}\n${out}${err}")
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
  set(rc "${rc}" PARENT_SCOPE)
endfunction()

set(failures "")
macro(fail text)
  string(APPEND failures "  ${text}\n")
endmacro()

# The lean throw carries the library's message unformatted; the runtime's own
# would have filled in the function's name and the numbers.
probe("${LEAN}" library-error)
if(NOT rc STREQUAL "0")
  fail("library-error: not the guarded run's usual status")
endif()
string(FIND "${out}" "caught: %s: __pos (which is %zu) > this->size()" at)
if(at EQUAL -1)
  fail("library-error: not caught as std::exception with the library's message")
endif()

# The runtime's default handler reports the exception on stderr before it
# aborts; the lean one aborts without a word.
set(report "terminate called after throwing")
probe("${LEAN}" escape)
string(FIND "${out}" "escaping" escaped)
string(FIND "${err}" "${report}" reported)
if(escaped EQUAL -1 OR rc STREQUAL "0")
  fail("escape: no exception thrown, or the program did not abort")
endif()
if(NOT reported EQUAL -1)
  fail("escape: reported by the runtime's verbose handler")
endif()

probe("${CANARY}" escape)
string(FIND "${err}" "${report}" reported)
if(reported EQUAL -1)
  fail("canary: the runtime's own handler reports nothing (this check would see nothing)")
endif()

if(failures)
  message(FATAL_ERROR "lean runtime:\n${failures}")
endif()
