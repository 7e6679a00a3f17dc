# Checks the resources a built program ships with: its application manifest
# and its version information with the project's version. EXPECT says which
# program it is:
#   setup_program    (the default) administrator rights, supported systems,
#                    Common Controls 6, DPI awareness; named imesetup.exe
#   package_checker  the invoker's rights, supported systems; named imecheck.exe
#
#   cmake -DPROGRAM=imesetup.exe -DVERSION=1.2.3.0 [-DEXPECT=...] [-DOBJDUMP=objdump] -P check_resources.cmake
cmake_minimum_required(VERSION 3.20)

if(NOT PROGRAM OR NOT VERSION)
  message(FATAL_ERROR "usage: cmake -DPROGRAM=... -DVERSION=... [-DEXPECT=...] [-DOBJDUMP=...] -P check_resources.cmake")
endif()
if(NOT EXPECT)
  set(EXPECT setup_program)
endif()
if(NOT EXPECT MATCHES "^(setup_program|package_checker)$")
  message(FATAL_ERROR "EXPECT must be setup_program or package_checker, not '${EXPECT}'")
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

# The manifest is UTF-8 text in the file: its lines from <assembly to
# </assembly>, read without comments (an element commented out does not count).
# The lines come as a list; its separators count as line breaks (list(JOIN)
# would stop at an unbalanced bracket in the program's other strings).
file(STRINGS "${PROGRAM}" text_lines)
string(REPLACE ";" "\n" text "${text_lines}")
string(FIND "${text}" "<assembly " begin)
string(FIND "${text}" "</assembly>" end)
set(manifest "")
if(begin EQUAL -1 OR end LESS begin)
  string(APPEND failures "  no manifest text found\n")
else()
  math(EXPR length "${end} - ${begin}")
  string(SUBSTRING "${text}" ${begin} ${length} manifest)
  while(TRUE)
    string(FIND "${manifest}" "<!--" open)
    if(open EQUAL -1)
      break()
    endif()
    string(SUBSTRING "${manifest}" ${open} -1 rest)
    string(FIND "${rest}" "-->" close)
    string(SUBSTRING "${manifest}" 0 ${open} head)
    if(close EQUAL -1)
      string(APPEND failures "  manifest: a comment is not closed\n")
      set(manifest "${head}")
      break()
    endif()
    math(EXPR after "${close} + 3")
    string(SUBSTRING "${rest}" ${after} -1 tail)
    set(manifest "${head}${tail}")
  endwhile()
endif()
# Any run of blanks and line breaks counts as one blank.
string(REGEX REPLACE "[ \t\r\n]+" " " manifest "${manifest}")

function(expect_in_manifest text what)
  string(FIND "${manifest}" "${text}" at)
  if(at EQUAL -1)
    set(failures "${failures}  manifest, ${what}: '${text}' not found\n" PARENT_SCOPE)
  endif()
endfunction()

if(EXPECT STREQUAL "package_checker")
  expect_in_manifest("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>" "no elevation")
else()
  expect_in_manifest("<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>" "elevation")
  expect_in_manifest("<assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""
    "Common Controls 6")
endif()
foreach(os IN ITEMS
    e2011457-1546-43c5-a5fe-008deee3d3f0   # Vista
    35138b9a-5d96-4fbd-8e2d-a2440225f93a   # 7
    4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38   # 8
    1f676c76-80e1-4239-95bb-83d0f6d0da78   # 8.1
    8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a)  # 10 and 11
  expect_in_manifest("<supportedOS Id=\"{${os}}\"/>" "supported systems")
endforeach()
# DPI awareness: per-monitor v2, else per-monitor, else system-wide, as far as
# the system knows them. The checker's console draws its own text.
if(EXPECT STREQUAL "setup_program")
  expect_in_manifest("<application xmlns=\"urn:schemas-microsoft-com:asm.v3\"> <windowsSettings> "
    "windowsSettings")
  expect_in_manifest("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"
    "DPI awareness before Windows 10 1607")
  expect_in_manifest(
    "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>"
    "DPI awareness from Windows 10 1607")
endif()

# The version strings are UTF-16LE, looked for in the file's bytes.
file(READ "${PROGRAM}" bytes HEX)

function(expect_utf16 text what)
  string(HEX "${text}" hex)
  string(REGEX REPLACE "(..)" "\\100" hex "${hex}")
  string(FIND "${bytes}" "${hex}" at)
  if(at EQUAL -1)
    set(failures "${failures}  ${what}: \"${text}\" not found\n" PARENT_SCOPE)
  endif()
endfunction()

expect_utf16("VS_VERSION_INFO" "version resource")
expect_utf16("FileDescription" "version resource")
expect_utf16("ProductName" "version resource")
expect_utf16("${VERSION}" "FileVersion and ProductVersion")
# Each program under its own name: the checker finds the setup program by it.
if(EXPECT STREQUAL "package_checker")
  expect_utf16("imecheck.exe" "OriginalFilename")
else()
  expect_utf16("imesetup.exe" "OriginalFilename")
endif()

if(failures)
  message(FATAL_ERROR "${PROGRAM}:\n${failures}")
endif()
message(STATUS "${PROGRAM}: manifest and version information present")
