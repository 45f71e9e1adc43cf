# One gate of this machine (GATE: lint, asan or memcheck) run as the project
# runs it, on TREE, the project with MISTAKE made; judged against
# mistakes/caught.txt and left in RESULTS for the table. The log is LOG.

cmake_minimum_required(VERSION 3.25)

include("${CMAKE_CURRENT_LIST_DIR}/../matrix/matrix.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/mistakes.cmake")
file(REMOVE "${LOG}")

# The tool that judges, by its version.
if(GATE STREQUAL "lint")
  set(tools clang-tidy)
elseif(GATE STREQUAL "asan")
  set(tools clang++)
elseif(GATE STREQUAL "memcheck")
  set(tools g++ valgrind)
else()
  message(FATAL_ERROR "gate.cmake: no gate '${GATE}': lint, asan or memcheck")
endif()
set(ran "")
foreach(tool IN LISTS tools)
  execute_process(COMMAND "${tool}" --version OUTPUT_VARIABLE version)
  string(REGEX MATCH "[0-9]+\\.[0-9]+\\.[0-9]+" version "${version}")
  list(APPEND ran "${tool} ${version}")
endforeach()
list(JOIN ran ", " ran)
message("ran: ${ran}")
message("log: ${LOG}")

if(GATE STREQUAL "lint")
  # The files the mistake changed, as tools/lint takes them.
  file(STRINGS "${TREE}/mistakes/${MISTAKE}.patch" changed REGEX "^\\+\\+\\+ b/")
  list(TRANSFORM changed REPLACE "^\\+\\+\\+ b/([^\t]*).*" "\\1")
  set(steps
      "configure|${CMAKE_COMMAND} --preset ci-clang --fresh"
      "lint|tools/lint build/ci-clang ${changed}"
  )
else()
  set(steps
      "configure|${CMAKE_COMMAND} --preset ${GATE} --fresh"
      "build|${CMAKE_COMMAND} --build --preset ${GATE}"
      "test|${CMAKE_CTEST_COMMAND} --preset ${GATE}"
  )
endif()
set(failed "")
foreach(step IN LISTS steps)
  string(REGEX MATCH "^[^|]+" name "${step}")
  string(REGEX REPLACE "^[^|]+\\|" "" command "${step}")
  separate_arguments(command UNIX_COMMAND "${command}")
  ellipsis_logged("${LOG}" status "${CMAKE_COMMAND}" -E chdir "${TREE}" ${command})
  if(NOT status EQUAL 0)
    set(failed "${name}")
    break()
  endif()
endforeach()
# Only the mistake may fail a gate: its configure does not depend on it.
if(failed STREQUAL "configure")
  message(FATAL_ERROR "${GATE} on ${MISTAKE}: configure failed (${LOG})")
endif()

ellipsis_mistake_judge("${MISTAKE}" "${GATE}" "${failed}" "${LOG}" "${RESULTS}" "${ran}" judged)
message("verdict: ${judged_VERDICT}")
if(NOT judged_OK)
  message(FATAL_ERROR "${MISTAKE}: ${judged_VERDICT}; see ${LOG}")
endif()
