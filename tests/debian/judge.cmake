# Passes when sbuild.cmake judges each build as it must: a build that passes
# where nothing is recorded passes; one recorded in cmake/defects.txt passes
# only when it fails at the recorded stage with the recorded text, and says
# DEFECT GONE when it builds; a build asked to run the suite fails where no
# suite passed, and one with lintian where lintian did not pass. Runs
# sbuild.cmake against fake-sbuild, on a record of its own as
# cmake/defects.txt gives them (armel on Debian 12); takes WORK_DIR, a
# scratch directory.

set(fake "${WORK_DIR}/bin")
file(MAKE_DIRECTORY "${fake}")
file(COPY_FILE "${CMAKE_CURRENT_LIST_DIR}/fake-sbuild" "${fake}/sbuild")
file(CHMOD "${fake}/sbuild" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(records "${WORK_DIR}/defects.txt")
file(WRITE "${records}" "armel | debian 12 | install-deps | "
                        "Depends: linux-libc-dev:armel but it is not installable | unmet\n")

set(ok "Status: successful\\n")
set(suite "100% tests passed, 0 tests failed out of 41\\n")
set(unmet "Depends: linux-libc-dev:armel but it is not installable\\n")
# Each case: ABI, CHECK, LINTIAN, sbuild's exit status, its log, whether
# the judgement passes, and a text its message must hold.
set(cases
    "arm64|ON|OFF|0|${suite}${ok}|pass|built"
    "arm64|ON|OFF|0|${ok}|fail|the suite did not run and pass"
    "arm64|OFF|ON|0|${ok}Lintian: fail\\n|fail|lintian: fail"
    "arm64|OFF|OFF|1|Fail-Stage: build\\nStatus: failed\\n|fail|sbuild failed at build"
    "armel|OFF|OFF|3|${unmet}Fail-Stage: install-deps\\nStatus: given-back\\n|pass|known defect"
    "armel|OFF|OFF|0|${ok}|fail|DEFECT GONE"
    "armel|OFF|OFF|1|Fail-Stage: build\\nStatus: failed\\n|fail|not as cmake/defects.txt records"
    "armel|OFF|OFF|3|Fail-Stage: install-deps\\nStatus: given-back\\n|fail|not as cmake/defects.txt records"
)
set(failures "")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 abi)
  list(GET fields 1 check)
  list(GET fields 2 lintian)
  list(GET fields 3 status)
  list(GET fields 4 log)
  list(GET fields 5 expected)
  list(GET fields 6 said)
  execute_process(
      COMMAND "${CMAKE_COMMAND}" -E env "PATH=${fake}:$ENV{PATH}"
              "FAKE_SBUILD_LOG=${log}" "FAKE_SBUILD_STATUS=${status}"
              "${CMAKE_COMMAND}" -DDSC=none.dsc "-DOUT=${WORK_DIR}/out" -DCHROOT=none
              -DRELEASE=bookworm -DVERSION=12 -DABI=${abi} -DMODE=cross -DCHECK=${check}
              -DLINTIAN=${lintian} -DJOBS=1 "-DELLIPSIS_DEFECTS=${records}"
              -P "${CMAKE_CURRENT_LIST_DIR}/sbuild.cmake"
      RESULT_VARIABLE result
      OUTPUT_VARIABLE output
      ERROR_VARIABLE output
  )
  set(judged pass)
  if(NOT result EQUAL 0)
    set(judged fail)
  endif()
  # CMake wraps a message's lines; the words are what count.
  string(REGEX REPLACE "[ \n]+" " " words "${output}")
  string(FIND "${words}" "${said}" found)
  if(NOT judged STREQUAL expected OR found LESS 0)
    string(APPEND failures "\n  ${abi}, sbuild exiting ${status} with '${log}': judged ${judged}, "
                           "not ${expected} saying '${said}':\n${output}")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "sbuild.cmake:${failures}")
endif()
