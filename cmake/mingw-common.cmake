# Shared part of the MinGW-w64 cross toolchains (Debian g++-mingw-w64-*).
# The including file sets IMESETUP_MINGW_TRIPLE before including this one.
#
# The -posix thread model is used throughout: GoogleTest needs std::mutex,
# which the -win32 compilers lack. winpthreads is linked statically with the
# rest (-static), so the programs still import only system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)

set(_triple "${IMESETUP_MINGW_TRIPLE}")
find_program(_mingw_gxx NAMES ${_triple}-g++-posix REQUIRED)
find_program(_mingw_gcc NAMES ${_triple}-gcc-posix REQUIRED)
find_program(_mingw_rc NAMES ${_triple}-windres REQUIRED)
find_program(_mingw_objdump NAMES ${_triple}-objdump REQUIRED)

set(CMAKE_CXX_COMPILER "${_mingw_gxx}")
set(CMAKE_C_COMPILER "${_mingw_gcc}")
set(CMAKE_RC_COMPILER "${_mingw_rc}")
# Used by the import-table check of the built program.
set(IMESETUP_OBJDUMP "${_mingw_objdump}" CACHE FILEPATH "objdump for the target")

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
