# Checks that the changelog's newest version is the project's version: the
# version that the programs' version information and the release's folder
# and zip names carry. The newest version is the first heading
# "## [X.Y.Z] - YYYY-MM-DD" (an "## [Unreleased]" heading above it is passed
# over).
#
#   cmake -DCHANGELOG=CHANGELOG.md -DVERSION=1.2.3 -P check_changelog.cmake
cmake_minimum_required(VERSION 3.20)

if(NOT CHANGELOG OR NOT VERSION)
  message(FATAL_ERROR "usage: cmake -DCHANGELOG=... -DVERSION=... -P check_changelog.cmake")
endif()
file(STRINGS "${CHANGELOG}" headings REGEX "^## \\[")
set(newest "")
foreach(heading IN LISTS headings)
  if(heading MATCHES "^## \\[Unreleased\\]")
    continue()
  endif()
  if(heading MATCHES "^## \\[([0-9]+\\.[0-9]+\\.[0-9]+)\\] - [0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]$")
    set(newest "${CMAKE_MATCH_1}")
  else()
    message(FATAL_ERROR "${CHANGELOG}: a version heading not of the form '## [X.Y.Z] - YYYY-MM-DD': ${heading}")
  endif()
  break()
endforeach()
if(newest STREQUAL "")
  message(FATAL_ERROR "${CHANGELOG}: no version heading")
endif()
if(NOT newest STREQUAL VERSION)
  message(FATAL_ERROR "${CHANGELOG}: the newest version is ${newest}, the project's is ${VERSION}")
endif()
message(STATUS "${CHANGELOG}: the newest version is the project's, ${VERSION}")
