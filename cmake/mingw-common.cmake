# Shared part of the MinGW-w64 cross toolchains (Debian g++-mingw-w64-*).
# The including file sets IMESETUP_MINGW_TRIPLE before including this one.
#
# IMESETUP_MINGW_THREADS picks the compiler's thread model:
#   posix (default)  for the test programs: GoogleTest needs std::mutex, which
#                    the win32 compilers of GCC 12 lack. winpthreads is linked
#                    statically with the rest (-static).
#   win32            for the shipped program: no threads runtime, which the
#                    tool (it never starts a thread) does not need. A posix
#                    build makes the program in a nested win32 build (see
#                    cmake/shipped_program.cmake).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)

set(IMESETUP_MINGW_THREADS posix CACHE STRING "Thread model of the MinGW-w64 compilers (posix or win32)")
set_property(CACHE IMESETUP_MINGW_THREADS PROPERTY STRINGS posix win32)
# CMake's compiler checks read this file again in projects of their own.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES IMESETUP_MINGW_THREADS)
if(NOT IMESETUP_MINGW_THREADS MATCHES "^(posix|win32)$")
  message(FATAL_ERROR "IMESETUP_MINGW_THREADS must be posix or win32, not '${IMESETUP_MINGW_THREADS}'")
endif()

set(_triple "${IMESETUP_MINGW_TRIPLE}")
set(_threads "${IMESETUP_MINGW_THREADS}")
find_program(_mingw_gxx_${_threads} NAMES ${_triple}-g++-${_threads} REQUIRED)
find_program(_mingw_gcc_${_threads} NAMES ${_triple}-gcc-${_threads} REQUIRED)
find_program(_mingw_rc NAMES ${_triple}-windres REQUIRED)
find_program(_mingw_objdump NAMES ${_triple}-objdump REQUIRED)

set(CMAKE_CXX_COMPILER "${_mingw_gxx_${_threads}}")
set(CMAKE_C_COMPILER "${_mingw_gcc_${_threads}}")
set(CMAKE_RC_COMPILER "${_mingw_rc}")
# Used by the import-table check of the built program.
set(IMESETUP_OBJDUMP "${_mingw_objdump}" CACHE FILEPATH "objdump for the target")

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
