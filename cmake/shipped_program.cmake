# The shipped program, imesetup.exe, and how it is built (Windows only).
#
# Defines the target imesetup (building it builds the program), the variable
# IMESETUP_PROGRAM_FILE, the program's path for tests and scripts, and the
# function imesetup_shipped_program(TARGET), the build measures that every
# program of the release gets.
#
# MinGW-w64: stripped, with the size and reproducibility flags of every MinGW
# target (CMakeLists.txt), and with the win32 thread model: the tool never
# starts a thread, so it carries no threads runtime. A build whose compilers
# have the posix model (the test programs need it) makes the program in a
# nested build of this project with the win32 compilers, into the same place.

# Application manifest and version information; IMESETUP_FILE_VERSION.
include(${PROJECT_SOURCE_DIR}/src/setup_program/resources/resources.cmake)

set(IMESETUP_PROGRAM_OUTPUT_DIR "" CACHE PATH
  "Folder for imesetup.exe (set by the nested build of a posix MinGW build)")
mark_as_advanced(IMESETUP_PROGRAM_OUTPUT_DIR)

# MinGW-w64: the C++ runtime's default terminate handler and its error throws
# replaced by lean ones (src/shipped_runtime/, which says why that is safe for
# a program whose work runs guarded). An OBJECT library: its definitions must
# be in the program's own objects, or the runtime archive's members would be
# linked instead.
if(MINGW)
  add_library(imesetup_shipped_runtime OBJECT
    src/shipped_runtime/quiet_terminate.cpp src/shipped_runtime/library_errors.cpp)
endif()

# The measures of every shipped program: one call per program.
function(imesetup_shipped_program target)
  if(MINGW)
    target_link_libraries(${target} PRIVATE imesetup_shipped_runtime)
    target_link_options(${target} PRIVATE -s)
  endif()
endfunction()

if(MINGW AND IMESETUP_MINGW_THREADS STREQUAL "posix")
  include(ExternalProject)
  set(IMESETUP_PROGRAM_FILE "${CMAKE_BINARY_DIR}/imesetup.exe")
  ExternalProject_Add(imesetup
    SOURCE_DIR "${PROJECT_SOURCE_DIR}"
    BINARY_DIR "${CMAKE_BINARY_DIR}/win32-program"
    PREFIX "${CMAKE_BINARY_DIR}/win32-program-stamps"
    CMAKE_ARGS
      "-DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}"
      -DIMESETUP_MINGW_THREADS=win32
      "-DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}"
      -DIMESETUP_BUILD_TESTS=OFF
      -DIMESETUP_BUILD_BENCHMARKS=OFF
      -DIMESETUP_BUILD_FUZZERS=OFF
      "-DIMESETUP_PROGRAM_OUTPUT_DIR=${CMAKE_BINARY_DIR}"
    # Its sources are this project's: the nested make decides what is stale.
    BUILD_ALWAYS TRUE
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS "${IMESETUP_PROGRAM_FILE}")
  return()
endif()

# WIN32: the GUI subsystem, no console window.
# The DLL defence, shared by every program that ships.
add_library(imesetup_dll_defence STATIC src/setup_program/dll_search.cpp)
target_include_directories(imesetup_dll_defence PUBLIC src)

add_executable(imesetup WIN32 src/setup_program/winmain.cpp)
target_link_libraries(imesetup PRIVATE imesetup_program imesetup_dll_defence)
if(IMESETUP_PROGRAM_OUTPUT_DIR)
  set_target_properties(imesetup PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${IMESETUP_PROGRAM_OUTPUT_DIR}")
endif()
imesetup_shipped_program(imesetup)
imesetup_add_resources(imesetup)
set(IMESETUP_PROGRAM_FILE "$<TARGET_FILE:imesetup>")
