# Builds the source package DSC with sbuild in the chroot tarball CHROOT of
# Debian RELEASE (VERSION by number), into OUT, and judges the build: for
# ABI natively (MODE native) or cross-built for it from this machine (MODE
# cross), running the suite where CHECK is ON (a cross build's under
# qemu-user) and lintian on the source and binary packages where LINTIAN is
# ON, with parallel=JOBS. A build that cmake/defects.txt records for
# "debian VERSION" on ABI must fail at that stage (sbuild's Fail-Stage) with
# that text; should it pass, or fail otherwise, this fails.

foreach(var IN ITEMS DSC OUT CHROOT RELEASE VERSION ABI MODE CHECK LINTIAN JOBS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "sbuild.cmake needs -D${var}=...")
  endif()
endforeach()
include("${CMAKE_CURRENT_LIST_DIR}/../../cmake/abi.cmake")

set(command sbuild --chroot-mode=unshare "--chroot=${CHROOT}" "--dist=${RELEASE}"
    "--build-dir=${OUT}" --nolog --no-run-piuparts --no-run-autopkgtest "--jobs=${JOBS}"
    # apt says why dependencies cannot be installed, without installing dose3 to say it again.
    --bd-uninstallable-explainer=apt)
# The build profiles: a cross build's are "cross nocheck" by default; without
# nocheck the suite is built and run on the target.
set(profiles "")
if(MODE STREQUAL "native")
  list(APPEND command "--arch=${ABI}")
elseif(MODE STREQUAL "cross")
  list(APPEND command "--host=${ABI}")
  list(APPEND profiles cross)
else()
  message(FATAL_ERROR "sbuild.cmake: MODE is native or cross, not '${MODE}'")
endif()
if(NOT CHECK)
  list(APPEND profiles nocheck)
endif()
if(profiles)
  list(JOIN profiles "," profiles)
  list(APPEND command "--profiles=${profiles}")
endif()
if(LINTIAN)
  # The changelog names the suite an upload goes to (unstable); a build for
  # a release names that release, which lintian would note every time.
  list(APPEND command --source --run-lintian --lintian-opt=--fail-on=error,warning
       --lintian-opt=--suppress-tags=distribution-and-changes-mismatch)
else()
  list(APPEND command --no-run-lintian)
endif()
list(APPEND command "${DSC}")

file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}")
set(log "${OUT}/sbuild.log")
list(JOIN command " " shown)
message("${shown}")
# nocheck in DEB_BUILD_OPTIONS too, as policy pairs it with the profile.
set(options "parallel=${JOBS}")
if(NOT CHECK)
  string(APPEND options " nocheck")
endif()
execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env "DEB_BUILD_OPTIONS=${options}" ${command}
    OUTPUT_FILE "${log}" ERROR_FILE "${log}"
    RESULT_VARIABLE status
)
file(READ "${log}" text)
# Each summary line is matched after a newline, the first too.
string(PREPEND text "\n")

# What went wrong, from sbuild's summary and the suite's.
set(failed "")
if(NOT status EQUAL 0 OR NOT text MATCHES "\nStatus: successful\n")
  string(REGEX MATCH "\nFail-Stage: ([^\n]*)" _ "${text}")
  set(stage "${CMAKE_MATCH_1}")
  if(NOT stage)
    set(stage "unknown")
  endif()
  set(failed "sbuild failed at ${stage} (exit status ${status})")
elseif(LINTIAN AND NOT text MATCHES "\nLintian: pass\n")
  string(REGEX MATCH "\nLintian: ([^\n]*)" _ "${text}")
  set(stage lintian)
  set(failed "lintian: ${CMAKE_MATCH_1}")
elseif(CHECK AND NOT text MATCHES "\n100% tests passed, 0 tests failed out of [1-9]")
  set(stage test)
  set(failed "the suite did not run and pass")
endif()

ellipsis_judge("${ABI}" "${failed}" "${stage}" "${log}" judged "debian ${VERSION}")
if(judged_OK AND failed)
  message("${judged_VERDICT}\nthe build says what cmake/defects.txt records")
  return()
elseif(NOT judged_OK)
  string(LENGTH "${text}" length)
  set(start 0)
  if(length GREATER 6000)
    math(EXPR start "${length} - 6000")
  endif()
  string(SUBSTRING "${text}" ${start} -1 tail)
  message(FATAL_ERROR "${judged_VERDICT}; the log's end (all of it in ${log}):\n${tail}")
endif()
string(REGEX MATCH "\n100% tests passed[^\n]*" suite "${text}")
message("built${suite}")
