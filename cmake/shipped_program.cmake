# The shipped programs and how they are built (Windows only): the setup
# program imesetup.exe, and the package checker imecheck.exe that IME authors
# run on their package before they ship it.
#
# Defines the target imesetup (building it builds both programs), the
# variables IMESETUP_PROGRAM_FILE and IMESETUP_CHECKER_FILE, the programs'
# paths for tests and scripts (MinGW: their link maps are the same paths with
# ".map" added), and the function
# imesetup_shipped_program(TARGET), the build measures that every program of
# the release gets.
#
# MinGW-w64: stripped, with the size and reproducibility flags of every MinGW
# target (CMakeLists.txt), and with the win32 thread model: neither program
# starts a thread, so they carry no threads runtime. A build whose compilers
# have the posix model (the test programs need it) makes the programs in a
# nested build of this project with the win32 compilers, into the same place.

# Application manifests and version information; IMESETUP_FILE_VERSION.
include(${PROJECT_SOURCE_DIR}/cmake/program_resources.cmake)

set(IMESETUP_PROGRAM_OUTPUT_DIR "" CACHE PATH
  "Folder for imesetup.exe and imecheck.exe (set by the nested build of a posix MinGW build)")
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

# The measures of every shipped program: one call per program. MinGW: the
# linker's map beside the program (PROGRAM.exe.map), which names every object
# and library member that went into it: the third-party notices are checked
# against it. Writing the map changes no byte of the program.
function(imesetup_shipped_program target)
  if(MINGW)
    target_link_libraries(${target} PRIVATE imesetup_shipped_runtime)
    target_link_options(${target} PRIVATE -s "LINKER:-Map=$<TARGET_FILE:${target}>.map")
  endif()
endfunction()

if(MINGW AND IMESETUP_MINGW_THREADS STREQUAL "posix")
  include(ExternalProject)
  set(IMESETUP_PROGRAM_FILE "${CMAKE_BINARY_DIR}/imesetup.exe")
  set(IMESETUP_CHECKER_FILE "${CMAKE_BINARY_DIR}/imecheck.exe")
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
    BUILD_BYPRODUCTS "${IMESETUP_PROGRAM_FILE}" "${IMESETUP_CHECKER_FILE}"
      "${IMESETUP_PROGRAM_FILE}.map" "${IMESETUP_CHECKER_FILE}.map")
  return()
endif()

# The DLL defence, shared by every program that ships.
add_library(imesetup_dll_defence STATIC src/program_guard/dll_search.cpp)
target_include_directories(imesetup_dll_defence PUBLIC src)

# The setup program. WIN32: the GUI subsystem, no console window.
add_executable(imesetup WIN32 src/setup_program/winmain.cpp)
target_link_libraries(imesetup PRIVATE imesetup_program imesetup_dll_defence)
imesetup_add_resources(imesetup "${PROJECT_SOURCE_DIR}/src/setup_program/resources/imesetup.rc"
  "${PROJECT_SOURCE_DIR}/src/setup_program/resources/imesetup.manifest")
set(IMESETUP_PROGRAM_FILE "$<TARGET_FILE:imesetup>")

# The package checker: a console program.
add_executable(imecheck src/package_checker/checker_main.cpp src/package_checker/console_win32.cpp)
target_link_libraries(imecheck PRIVATE imesetup_package_checker imesetup_dll_defence)
imesetup_add_resources(imecheck "${PROJECT_SOURCE_DIR}/src/package_checker/resources/imecheck.rc"
  "${PROJECT_SOURCE_DIR}/src/package_checker/resources/imecheck.manifest")
set(IMESETUP_CHECKER_FILE "$<TARGET_FILE:imecheck>")
# Built whenever the setup program is: the two ship together.
add_dependencies(imesetup imecheck)

foreach(program imesetup imecheck)
  if(IMESETUP_PROGRAM_OUTPUT_DIR)
    set_target_properties(${program} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${IMESETUP_PROGRAM_OUTPUT_DIR}")
  endif()
  imesetup_shipped_program(${program})
endforeach()
