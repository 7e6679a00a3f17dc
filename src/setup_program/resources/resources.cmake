# The Windows resources of the shipped program: application manifest and
# version information (imesetup.rc), with the version taken from project().
#
#   imesetup_add_resources(TARGET)
enable_language(RC)

set(IMESETUP_RESOURCES_DIR "${CMAKE_CURRENT_LIST_DIR}")

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

function(imesetup_add_resources target)
  set(generated "${CMAKE_CURRENT_BINARY_DIR}/resources")
  configure_file("${IMESETUP_RESOURCES_DIR}/imesetup_version.h.in" "${generated}/imesetup_version.h" @ONLY)
  set(rc "${IMESETUP_RESOURCES_DIR}/imesetup.rc")
  target_sources(${target} PRIVATE "${rc}")
  # windres looks for the manifest along the include path (rc also beside the
  # script); the generated version header is found the same way.
  target_include_directories(${target} PRIVATE "${IMESETUP_RESOURCES_DIR}" "${generated}")
  set_property(SOURCE "${rc}" APPEND PROPERTY OBJECT_DEPENDS
    "${IMESETUP_RESOURCES_DIR}/imesetup.manifest" "${generated}/imesetup_version.h")
  if(MSVC)
    # The manifest comes from the script; the linker must not add its own.
    target_link_options(${target} PRIVATE /MANIFEST:NO)
  endif()
endfunction()
