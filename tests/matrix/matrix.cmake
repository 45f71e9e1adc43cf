# What the matrix's scripts share: what they ask of this machine (its
# Debian release, its archive) and how they run a step into a log.

# ellipsis_release(OUT) sets OUT to this machine's Debian release by number
# (13, say), or to "?" where /etc/os-release gives none.
function(ellipsis_release out)
  set(version "?")
  if(EXISTS /etc/os-release)
    file(STRINGS /etc/os-release lines REGEX "^VERSION_ID=")
    if(lines MATCHES "^VERSION_ID=\"?([0-9]+)")
      set(version "${CMAKE_MATCH_1}")
    endif()
  endif()
  set(${out} "${version}" PARENT_SCOPE)
endfunction()

# ellipsis_in_archive(PACKAGE OUT) sets OUT to whether this release's archive
# has PACKAGE, installed or not. Stops where apt knows no package at all,
# for then it could not tell.
function(ellipsis_in_archive package out)
  execute_process(
      COMMAND apt-cache show --no-all-versions dpkg
      RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET
  )
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "apt knows no package here: run apt-get update first")
  endif()
  execute_process(COMMAND apt-cache policy "${package}" OUTPUT_VARIABLE policy ERROR_QUIET)
  if(policy MATCHES "Candidate: ([^\n]+)" AND NOT CMAKE_MATCH_1 STREQUAL "(none)")
    set(${out} ON PARENT_SCOPE)
  else()
    set(${out} OFF PARENT_SCOPE)
  endif()
endfunction()

# ellipsis_logged(LOG OUT COMMAND...) runs COMMAND, appends what it wrote to
# LOG, and sets OUT to its exit status and OUT_OUTPUT to what it wrote.
function(ellipsis_logged log out)
  execute_process(
      COMMAND ${ARGN}
      OUTPUT_VARIABLE output ERROR_VARIABLE output
      RESULT_VARIABLE status
  )
  list(JOIN ARGN " " shown)
  file(APPEND "${log}" "+ ${shown}\n${output}")
  set(${out} "${status}" PARENT_SCOPE)
  set(${out}_OUTPUT "${output}" PARENT_SCOPE)
endfunction()

# ellipsis_googletest(ABI DIR LABELS OUT) sets OUT to where the cells of ABI
# find their GoogleTest: nowhere (empty) for this machine's own ABI, which
# has the installed one; DIR for any other, where the test
# matrix.<abi>.googletest (googletest.cmake) builds it as the fixture
# googletest-<abi> that the cells require, added once however many ask.
function(ellipsis_googletest abi dir labels out)
  set(${out} "" PARENT_SCOPE)
  if(abi STREQUAL ELLIPSIS_TARGET_ABI)
    return()
  endif()
  set(${out} "${dir}" PARENT_SCOPE)
  if(TEST "matrix.${abi}.googletest")
    return()
  endif()
  add_test(
      NAME "matrix.${abi}.googletest"
      COMMAND "${CMAKE_COMMAND}" -DABI=${abi} "-DDIR=${dir}" "-DSOURCE=${PROJECT_SOURCE_DIR}"
              "-DELLIPSIS_GXX=${ELLIPSIS_GXX}" "-DELLIPSIS_CLANGXX=${ELLIPSIS_CLANGXX}"
              -P "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/googletest.cmake"
  )
  set_tests_properties(
      "matrix.${abi}.googletest" PROPERTIES
      FIXTURES_SETUP "googletest-${abi}" LABELS "${labels}" TIMEOUT 900
      SKIP_REGULAR_EXPRESSION "matrix: skipped: "
  )
endfunction()
