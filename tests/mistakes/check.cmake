# Passes when the mistakes are judged, tabulated and applied as they must
# be, on records of its own. The judge (ellipsis_mistake_judge): a place
# that the record names must catch the mistake, any other must forgive it,
# and each way it does not says so (NOW CAUGHT, NO LONGER CAUGHT); what
# caught it is read from the log: the warning, the finding, the failed
# tests by their own names, the guard. The table (table.cmake): places
# grouped by what caught them, an ABI for both of its cells, words with a
# ";" kept whole, "nowhere" and "not judged" shown. A record may name an
# ABI for all of its cells. The patch
# (apply.cmake): one that no longer applies fails. Takes WORK_DIR.

cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/mistakes.cmake")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(failures "")

set(ELLIPSIS_MISTAKES_RECORDS "${WORK_DIR}/caught.txt")
file(WRITE "${ELLIPSIS_MISTAKES_RECORDS}" [=[
# mistake | caught on
walks-long | amd64 arm64/clang++ lint
skips-end | nowhere
]=])

# ---- The judge ----

set(log "${WORK_DIR}/run.log")
set(tests_failed [=[
The following tests FAILED:
	  1 - functions.FindMax.ComparesAsSignedInts (Failed)
	 12 - interop.FindMax.ComparesAsSignedInts (Subprocess aborted)
*** buffer overflow detected ***: terminated
]=])
set(warned "../apps/ellipsis/maxpick.cpp:18:22: error: long for int [-Werror]\n")
# Each case: mistake, place, the step that failed, the log, whether it is
# as recorded, and the verdict it must give.
set(cases
    "walks-long|amd64/g++|test|tests|ON|caught: test FindMax.ComparesAsSignedInts: *** buffer overflow detected ***"
    "walks-long|amd64/clang++|build|warned|ON|caught: warning, maxpick.cpp:18: long for int [-Werror]"
    "walks-long|asan|||ON|forgiven"
    "walks-long|arm64/g++|||ON|forgiven"
    "walks-long|arm64/clang++|||OFF|NO LONGER CAUGHT on arm64/clang++"
    "walks-long|lint|||OFF|NO LONGER CAUGHT on lint: it passes"
    "skips-end|amd64/g++|build|warned|OFF|NOW CAUGHT on amd64/g++: warning, maxpick.cpp:18"
    "skips-end|memcheck|||ON|forgiven"
)
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 mistake)
  list(GET fields 1 place)
  list(GET fields 2 failed)
  list(GET fields 3 text)
  list(GET fields 4 ok)
  list(GET fields 5 said)
  if(text STREQUAL "tests")
    file(WRITE "${log}" "${tests_failed}")
  elseif(text STREQUAL "warned")
    file(WRITE "${log}" "${warned}")
  else()
    file(WRITE "${log}" "100% tests passed\n")
  endif()
  ellipsis_mistake_judge("${mistake}" "${place}" "${failed}" "${log}" "${WORK_DIR}/judged" "" judged)
  string(FIND "${judged_VERDICT}" "${said}" at)
  if(NOT judged_OK STREQUAL ok OR NOT at EQUAL 0)
    list(APPEND failures "judge: ${case}: gave ${judged_OK}, '${judged_VERDICT}'")
  endif()
endforeach()
# The judge leaves each result for the table.
file(READ "${WORK_DIR}/judged/walks-long/amd64-g++.txt" left)
if(NOT left MATCHES "result: caught\nby: test FindMax.ComparesAsSignedInts")
  list(APPEND failures "judge: left no result for the table, or another:\n${left}")
endif()

# ---- The table ----

set(results "${WORK_DIR}/results")
ellipsis_mistake_result("${results}" walks-long amd64/g++ caught "test A.B" "g++ 12.2.0")
ellipsis_mistake_result("${results}" walks-long amd64/clang++ caught "test A.B" "clang++ 14.0.6")
ellipsis_mistake_result("${results}" walks-long lint caught "clang-tidy, x.cpp:1: a; b" "clang-tidy 14.0.6")
ellipsis_mistake_result("${results}" walks-long arm64/g++ caught "test C.D" "g++ 12.2.0")
ellipsis_mistake_result("${results}" walks-long arm64/clang++ forgiven "" "clang++ 14.0.6")
ellipsis_mistake_result("${results}" walks-long m68k/clang++ "not judged" "known defect: x" "")
ellipsis_mistake_result("${results}" walks-long i386/g++ "not judged" "known defect: y" "")
ellipsis_mistake_result("${results}" walks-long i386/clang++ "not judged" "known defect: y" "")
ellipsis_mistake_result("${results}" skips-end amd64/g++ forgiven "" "g++ 12.2.0")
ellipsis_mistake_result("${results}" skips-end amd64/clang++ forgiven "" "clang++ 14.0.6")
execute_process(
    COMMAND "${CMAKE_COMMAND}" "-DELLIPSIS_MISTAKES_RECORDS=${ELLIPSIS_MISTAKES_RECORDS}"
            "-DRESULTS=${results}" "-DTABLE=${WORK_DIR}/table.md"
            -P "${CMAKE_CURRENT_LIST_DIR}/table.cmake"
    OUTPUT_QUIET ERROR_QUIET RESULT_VARIABLE status
)
set(table "")
if(EXISTS "${WORK_DIR}/table.md")
  file(READ "${WORK_DIR}/table.md" table)
endif()
# Compared as one text, not as a list: the words hold a ";".
set(rows [=[
| walks-long | amd64: test A.B; arm64/g++: test C.D; lint: clang-tidy, x.cpp:1: a; b | arm64/clang++ | i386 (1), m68k/clang++ (2) |
| skips-end | nowhere | amd64 |  |

(1) known defect: y

(2) known defect: x
]=])
string(FIND "${table}" "${rows}" at)
string(FIND "${table}" ": clang++ 14.0.6, clang-tidy 14.0.6, g++ 12.2.0\n" tools)
if(at LESS 0 OR tools LESS 0)
  string(REPLACE ";" "\\;" table "${table}")
  list(APPEND failures "table: not as it must be:\n${table}")
endif()
if(NOT status EQUAL 0)
  list(APPEND failures "table: exit status ${status}")
endif()

# ---- The patch ----

set(source "${WORK_DIR}/source")
file(WRITE "${source}/apps/a.cpp" "int\nf()\n{\n\treturn 1;\n}\n")
file(WRITE "${source}/mistakes/fresh.patch" [=[
Returns 2.

--- a/apps/a.cpp
+++ b/apps/a.cpp
@@ -1,5 +1,5 @@
 int
 f()
 {
-	return 1;
+	return 2;
 }
]=])
file(READ "${source}/mistakes/fresh.patch" stale)
string(REPLACE "-\treturn 1;" "-\treturn 3;" stale "${stale}")
file(WRITE "${source}/mistakes/stale.patch" "${stale}")
foreach(mistake IN ITEMS fresh stale)
  execute_process(
      COMMAND "${CMAKE_COMMAND}" "-DSOURCE=${source}" "-DMISTAKE=${mistake}"
              "-DTREE=${WORK_DIR}/tree-${mistake}" "-DRESULTS=${results}"
              -P "${CMAKE_CURRENT_LIST_DIR}/apply.cmake"
      OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE status
  )
  file(READ "${WORK_DIR}/tree-${mistake}/apps/a.cpp" made)
  if(mistake STREQUAL "fresh" AND NOT (status EQUAL 0 AND made MATCHES "return 2;"))
    list(APPEND failures "apply: the fresh patch was not made (${status}):\n${output}")
  elseif(mistake STREQUAL "stale" AND (status EQUAL 0 OR NOT output MATCHES "no longer applies"))
    list(APPEND failures "apply: the stale patch did not fail (${status}):\n${output}")
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n" failures)
  message(FATAL_ERROR "${failures}")
endif()
message("the mistakes' judge, table and patches: as they must be")
