# One cell of the matrix: the suite built for ABI by COMPILER (g++ or
# clang++, by the commands ELLIPSIS_GXX and ELLIPSIS_CLANGXX name) in
# BINARY, run, and judged against cmake/defects.txt by the versions of the
# compiler and, where the tests ran under one, the emulator. This machine's
# own ABI (no GTEST given) builds with the ci-gcc or ci-clang preset, any
# other with cross or cross-clang, linking the GoogleTest installed in GTEST
# where its fixture built one. DEFINES ("|" between them) go to the
# configure. Ends in the lines from which tools/matrix prints its table:
# "ran: TOOL VERSION", "tests: N", "pairings: N", "note: ..." and, last,
# "verdict: ...". A compiler that this release does not have is a skip.
#
# With MISTAKE, SOURCE is a copy of the project with that mistake of
# mistakes/ made, and the cell is judged by mistakes/caught.txt instead:
# caught or forgiven, as recorded for ABI/COMPILER, its result left in
# RESULTS for the table. A cell whose tools cmake/defects.txt records
# failing here is not judged: the defect, not the mistake, would decide.

cmake_minimum_required(VERSION 3.25)

include("${SOURCE}/cmake/abi.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/matrix.cmake")
set(NATIVE OFF)
if(NOT GTEST)
  set(NATIVE ON)
endif()
set(place "${ABI}/${COMPILER}")
if(MISTAKE)
  include("${CMAKE_CURRENT_LIST_DIR}/../mistakes/mistakes.cmake")
endif()

ellipsis_abi(abi "${ABI}" line)
set(triple "${line_TRIPLE}")
if(NATIVE)
  set(triple "")
endif()
ellipsis_compiler("${COMPILER}" "${triple}" compiler)
set(log "${BINARY}.log")
file(REMOVE "${log}")

# ellipsis_verdict(VERDICT OK) ends the cell: prints VERDICT and, where the
# result is not as recorded (OK is false), fails with the end of the log.
function(ellipsis_verdict verdict ok)
  message("verdict: ${verdict}")
  if(NOT ok)
    set(tail "")
    if(EXISTS "${log}")
      file(READ "${log}" tail)
      string(LENGTH "${tail}" length)
      if(length GREATER 6000)
        math(EXPR start "${length} - 6000")
        string(SUBSTRING "${tail}" ${start} -1 tail)
      endif()
    endif()
    message(FATAL_ERROR "${ABI} with ${COMPILER}: ${verdict}; the end of ${log}:\n${tail}")
  endif()
endfunction()

# ellipsis_skip(REASON) ends a cell that cannot run here, saying why.
macro(ellipsis_skip reason)
  message("matrix: skipped: ${reason}")
  if(MISTAKE)
    ellipsis_mistake_result("${RESULTS}" "${MISTAKE}" "${place}" "not judged" "${reason}" "")
  endif()
  return()
endmacro()

# The compiler, by command; a missing one is a failure where the archive has it.
find_program(command "${compiler_CXX}" NO_CACHE)
if(NOT command)
  ellipsis_in_archive("${compiler_PACKAGE}" has)
  if(has)
    ellipsis_verdict("FAIL: no ${compiler_CXX}: apt-get install ${compiler_PACKAGE}" OFF)
  endif()
  ellipsis_skip("this release has no ${compiler_PACKAGE}")
endif()
execute_process(
    COMMAND "${command}" -dumpversion
    OUTPUT_VARIABLE version OUTPUT_STRIP_TRAILING_WHITESPACE
)
string(REGEX MATCH "^[0-9]+" major "${version}")
# g++ gives its whole version only when asked for it.
execute_process(
    COMMAND "${command}" -dumpfullversion
    OUTPUT_VARIABLE full OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
    RESULT_VARIABLE status
)
if(status EQUAL 0 AND full MATCHES "^[0-9.]+$")
  set(version "${full}")
endif()
# A compiler may lack the backend: clang++ 14 has none for LoongArch.
if(compiler_TARGET)
  execute_process(
      COMMAND "${command}" "--target=${compiler_TARGET}" -x c++ -c /dev/null -o /dev/null
      RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET
  )
  if(NOT status EQUAL 0)
    ellipsis_skip("${COMPILER} ${version} does not target ${compiler_TARGET}")
  endif()
endif()
message("ran: ${COMPILER} ${version}")
message("log: ${log}")

# Sets tools to those that take part in the cell once it is configured: its
# compiler, and the emulator under which its tests run, if any, each by its
# major version; emulator_version to the emulator's whole one.
macro(ellipsis_cell_tools)
  set(tools "${COMPILER} ${major}")
  set(emulator "")
  if(EXISTS "${BINARY}/CMakeCache.txt")
    file(STRINGS "${BINARY}/CMakeCache.txt" emulator REGEX "^ELLIPSIS_TEST_EMULATOR:INTERNAL=.")
  endif()
  set(emulator_version "")
  if(emulator)
    execute_process(COMMAND "qemu-${line_QEMU}" --version OUTPUT_VARIABLE emulator_version)
    string(REGEX MATCH "version ([0-9][^ \n]*)" emulator_version "${emulator_version}")
    set(emulator_version "${CMAKE_MATCH_1}")
    string(REGEX MATCH "^[0-9]+" emulator_major "${emulator_version}")
    list(APPEND tools "qemu ${emulator_major}")
  endif()
endmacro()

# Configures, builds and tests the cell with OPTIONS; sets failed to the step
# that failed, or to the empty string. A mistake's cell stops after the
# configure where a tool of it has a record, and sets unjudged to it.
macro(ellipsis_cell)
  set(options "-DELLIPSIS_GXX=${ELLIPSIS_GXX}" "-DELLIPSIS_CLANGXX=${ELLIPSIS_CLANGXX}" ${ARGN})
  if(DEFINES)
    string(REPLACE "|" ";" defines "${DEFINES}")
    list(APPEND options ${defines})
  endif()
  if(NATIVE)
    set(preset ci-gcc)
    if(COMPILER STREQUAL "clang++")
      set(preset ci-clang)
    endif()
    list(APPEND options "-DCMAKE_CXX_COMPILER=${command}")
  else()
    set(preset cross)
    if(COMPILER STREQUAL "clang++")
      set(preset cross-clang)
    endif()
    list(APPEND options "-DELLIPSIS_ABI=${ABI}")
  endif()
  set(failed "")
  set(unjudged "")
  foreach(step IN ITEMS configure build test)
    if(step STREQUAL "configure")
      set(run "${CMAKE_COMMAND}" -S "${SOURCE}" --preset ${preset} --fresh -B "${BINARY}" ${options})
    elseif(step STREQUAL "build")
      set(run "${CMAKE_COMMAND}" --build "${BINARY}")
    else()
      # A test takes seconds, emulated too; one that hangs is an emulator's
      # defect (qemu-i386 7), which need not cost five minutes a test.
      set(run "${CMAKE_CTEST_COMMAND}" --test-dir "${BINARY}" --output-on-failure
              --no-tests=error --parallel 2 --timeout 30)
    endif()
    ellipsis_logged("${log}" status ${run})
    # Asked whether or not the configure passed: a defect may stop it (qemu-sh4 7).
    if(MISTAKE AND step STREQUAL "configure")
      ellipsis_cell_tools()
      foreach(tool IN LISTS tools)
        string(REPLACE " " ";" tool_version "${tool}")
        ellipsis_defect("${ABI}" ${tool_version} reason)
        if(reason)
          set(unjudged "known defect: ${tool}: ${reason}")
          break()
        endif()
      endforeach()
      if(unjudged)
        break()
      endif()
    endif()
    if(NOT status EQUAL 0)
      set(failed "${step}")
      break()
    endif()
  endforeach()
endmacro()

# Judges the cell just run: sets judged_OK and judged_VERDICT, the tools
# that ran (its compiler, and the emulator under which the tests ran, if
# any), tests (how many ran) and pairings (caller and callee compilers proven).
macro(ellipsis_judge_cell)
  ellipsis_cell_tools()
  file(READ "${log}" text)
  set(tests 0)
  if(text MATCHES "tests passed, [0-9]+ tests? failed out of ([0-9]+)")
    set(tests "${CMAKE_MATCH_1}")
  endif()
  # This compiler's code calling its own functions and, where the interop
  # tests passed, calling the other compiler's.
  set(pairings 0)
  if(NOT failed)
    set(pairings 1)
    if(text MATCHES "Test +#[0-9]+: interop\\.[^\n]* Passed")
      set(pairings 2)
    endif()
  endif()
  ellipsis_judge("${ABI}" "${failed}" "${failed}" "${log}" judged ${tools})
endmacro()

set(gtest_dir "")
if(GTEST)
  file(GLOB_RECURSE gtest_config "${GTEST}/install/*/GTestConfig.cmake")
  if(gtest_config)
    list(GET gtest_config 0 gtest_config)
    get_filename_component(gtest_dir "${gtest_config}" DIRECTORY)
  endif()
endif()
if(gtest_dir)
  ellipsis_cell("-DGTest_DIR=${gtest_dir}")
else()
  ellipsis_cell()
endif()
ellipsis_judge_cell()
# The shared GoogleTest saves a build of it; where this compiler's tests
# cannot link it, they build their own, and the table says so. A mistake
# fails the tests, or the build with a warning in the programs, with either.
set(retry ON)
if(MISTAKE AND NOT (failed STREQUAL "build" AND NOT text MATCHES "apps/ellipsis/[^\n]*: error: "))
  set(retry OFF)
endif()
if(gtest_dir AND failed AND NOT judged_OK AND retry)
  file(RENAME "${log}" "${log}.shared")
  message("note: with the GoogleTest that the g++ of ${ABI} built, the ${failed} step failed "
          "(${log}.shared), so its own was built")
  ellipsis_cell()
  ellipsis_judge_cell()
endif()

if(emulator_version)
  message("ran: qemu ${emulator_version}")
endif()

if(MISTAKE)
  set(ran "${COMPILER} ${version}")
  if(emulator_version)
    string(APPEND ran ", qemu ${emulator_version}")
  endif()
  if(unjudged)
    ellipsis_mistake_result("${RESULTS}" "${MISTAKE}" "${place}" "not judged" "${unjudged}" "${ran}")
    message("verdict: not judged: ${unjudged}")
    return()
  endif()
  # Only the mistake may fail the cell: its configure does not depend on it.
  if(failed STREQUAL "configure")
    ellipsis_verdict("FAIL: configure" OFF)
  endif()
  ellipsis_mistake_judge("${MISTAKE}" "${place}" "${failed}" "${log}" "${RESULTS}" "${ran}" judged)
  ellipsis_verdict("${judged_VERDICT}" "${judged_OK}")
  return()
endif()
message("tests: ${tests}")
message("pairings: ${pairings}")
if(judged_VERDICT MATCHES "^known defect: (.*)")
  message("note: ${CMAKE_MATCH_1}")
endif()
ellipsis_verdict("${judged_VERDICT}" "${judged_OK}")
