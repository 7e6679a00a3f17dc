# Checks the resources a built program ships with: the application manifest
# (administrator rights, supported systems, Common Controls 6) and the
# version information with the project's version.
#
#   cmake -DPROGRAM=imesetup.exe -DVERSION=1.2.3.0 [-DOBJDUMP=objdump] -P check_resources.cmake
cmake_minimum_required(VERSION 3.20)

if(NOT PROGRAM OR NOT VERSION)
  message(FATAL_ERROR "usage: cmake -DPROGRAM=... -DVERSION=... [-DOBJDUMP=...] -P check_resources.cmake")
endif()

set(failures "")

# The resource directory's first level lists the resource types.
if(OBJDUMP)
  execute_process(COMMAND "${OBJDUMP}" -p "${PROGRAM}"
    OUTPUT_VARIABLE dump RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p failed: ${errors}")
  endif()
  string(REGEX MATCHALL "\n[0-9a-f]+   Entry: ID: 0x[0-9a-f]+," type_lines "${dump}")
  foreach(type IN ITEMS "0x000018;RT_MANIFEST" "0x000010;RT_VERSION")
    list(GET type 0 id)
    list(GET type 1 name)
    string(FIND "${type_lines}" "Entry: ID: ${id}," at)
    if(at EQUAL -1)
      string(APPEND failures "  no ${name} resource\n")
    endif()
  endforeach()
endif()

# The contents, looked for in the file's bytes: the manifest is UTF-8, the
# version strings are UTF-16LE.
file(READ "${PROGRAM}" bytes HEX)

function(expect_utf8 text what)
  string(HEX "${text}" hex)
  string(FIND "${bytes}" "${hex}" at)
  if(at EQUAL -1)
    set(failures "${failures}  ${what}: \"${text}\" not found\n" PARENT_SCOPE)
  endif()
endfunction()

function(expect_utf16 text what)
  string(HEX "${text}" hex)
  string(REGEX REPLACE "(..)" "\\100" hex "${hex}")
  string(FIND "${bytes}" "${hex}" at)
  if(at EQUAL -1)
    set(failures "${failures}  ${what}: \"${text}\" not found\n" PARENT_SCOPE)
  endif()
endfunction()

expect_utf8("level=\"requireAdministrator\"" "manifest")
expect_utf8("Microsoft.Windows.Common-Controls" "manifest")
foreach(os IN ITEMS
    e2011457-1546-43c5-a5fe-008deee3d3f0   # Vista
    35138b9a-5d96-4fbd-8e2d-a2440225f93a   # 7
    4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38   # 8
    1f676c76-80e1-4239-95bb-83d0f6d0da78   # 8.1
    8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a)  # 10 and 11
  expect_utf8("{${os}}" "manifest supportedOS")
endforeach()

expect_utf16("VS_VERSION_INFO" "version resource")
expect_utf16("FileDescription" "version resource")
expect_utf16("ProductName" "version resource")
expect_utf16("${VERSION}" "FileVersion and ProductVersion")

if(failures)
  message(FATAL_ERROR "${PROGRAM}:\n${failures}")
endif()
message(STATUS "${PROGRAM}: manifest and version information present")
