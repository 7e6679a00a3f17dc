# The Windows resources of a shipped program: its application manifest and
# its version information, from an .rc script of its own that includes the
# generated imesetup_version.h (the version taken from project()).
#
#   imesetup_add_resources(TARGET RC_SCRIPT MANIFEST)
enable_language(RC)

set(IMESETUP_VERSION_HEADER_TEMPLATE "${CMAKE_CURRENT_LIST_DIR}/imesetup_version.h.in")

# The four-part file version from project(VERSION), missing parts as 0.
set(_imesetup_version_parts)
foreach(part MAJOR MINOR PATCH TWEAK)
  if("${PROJECT_VERSION_${part}}" STREQUAL "")
    list(APPEND _imesetup_version_parts 0)
  else()
    list(APPEND _imesetup_version_parts "${PROJECT_VERSION_${part}}")
  endif()
endforeach()
list(JOIN _imesetup_version_parts "," IMESETUP_FILE_VERSION_BINARY)
list(JOIN _imesetup_version_parts "." IMESETUP_FILE_VERSION)

function(imesetup_add_resources target rc manifest)
  set(generated "${CMAKE_CURRENT_BINARY_DIR}/resources")
  configure_file("${IMESETUP_VERSION_HEADER_TEMPLATE}" "${generated}/imesetup_version.h" @ONLY)
  get_filename_component(folder "${rc}" DIRECTORY)
  target_sources(${target} PRIVATE "${rc}")
  # windres looks for the manifest along the include path (rc also beside the
  # script); the generated version header is found the same way.
  target_include_directories(${target} PRIVATE "${folder}" "${generated}")
  set_property(SOURCE "${rc}" APPEND PROPERTY OBJECT_DEPENDS "${manifest}" "${generated}/imesetup_version.h")
  if(MSVC)
    # The manifest comes from the script; the linker must not add its own.
    target_link_options(${target} PRIVATE /MANIFEST:NO)
  endif()
endfunction()
