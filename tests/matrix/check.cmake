# Passes when the matrix judges and tabulates its cells as it must. The
# judge (ellipsis_judge, which the debian workflow shares): a build where
# nothing is recorded passes or fails as it went; one that cmake/defects.txt
# records passes only when it fails at the recorded stage with the recorded
# text, for any of the tools that took part, and says DEFECT GONE when it
# builds. The table (table.cmake), read from a JUnit file like CTest's:
# each verdict in its row, notes numbered, XML's entities undone, and a
# failure, a cell stopped without a verdict or one not run fails it, where
# skips and known defects do not. Takes WORK_DIR, a scratch directory.
# The records are its own, so that the live ones may come and go.

cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/../../cmake/abi.cmake")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(failures "")

# ---- The judge, on records of its own, as cmake/defects.txt gives them ----

set(ELLIPSIS_DEFECTS "${WORK_DIR}/defects.txt")
file(WRITE "${ELLIPSIS_DEFECTS}" [=[
# abi | tool version | stage | text | reason
m68k | clang++ 14 | build | error in backend: Cannot select | its backend crashes
i386 | qemu 7 | test | ***Timeout | it hangs
]=])

set(log "${WORK_DIR}/cell.log")
# Each case: ABI, the step that failed, the log, the tools, whether it is
# as expected, and the start of the verdict.
set(cases
    "arm64||100% tests passed|g++ 12,qemu 7|ON|pass"
    "arm64|build|error: oops|g++ 12,qemu 7|OFF|FAIL: build"
    "m68k|build|fatal error: error in backend: Cannot select|clang++ 14,qemu 7|ON|known defect: clang++ 14"
    "m68k|build|error: oops|clang++ 14,qemu 7|OFF|FAIL: build, not as cmake/defects.txt records"
    "m68k|test|fatal error: error in backend: Cannot select|clang++ 14|OFF|FAIL: test, not as"
    "m68k||100% tests passed|clang++ 14|OFF|DEFECT GONE: m68k with clang++ 14 passes"
    "m68k||100% tests passed|clang++ 15|ON|pass"
    "i386|test|1/9 Test #1: x ***Timeout 30.01 sec|g++ 12,qemu 7|ON|known defect: qemu 7"
    "i386|test|1/9 Test #1: x ***Timeout 30.01 sec|g++ 12,qemu 10|OFF|FAIL: test"
)
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 abi)
  list(GET fields 1 failed)
  list(GET fields 2 text)
  list(GET fields 3 tools)
  list(GET fields 4 ok)
  list(GET fields 5 said)
  string(REPLACE "," ";" tools "${tools}")
  file(WRITE "${log}" "${text}\n")
  ellipsis_judge("${abi}" "${failed}" "${failed}" "${log}" judged ${tools})
  string(FIND "${judged_VERDICT}" "${said}" found)
  if(NOT judged_OK STREQUAL ok OR NOT found EQUAL 0)
    string(APPEND failures "\n  judge ${case}: ${judged_OK}, '${judged_VERDICT}'")
  endif()
endforeach()

# ---- The table, from results as CTest writes them ----

# ellipsis_case(NAME STATUS OUTPUT [SKIPPED]) appends a test case to xml.
function(ellipsis_case name status output)
  string(REPLACE "&" "&amp;" output "${output}")
  string(REPLACE "<" "&lt;" output "${output}")
  string(REPLACE ">" "&gt;" output "${output}")
  set(skip "")
  if(ARGN)
    set(skip "\t\t<skipped message=\"SKIP_REGULAR_EXPRESSION_MATCHED\"/>\n")
  endif()
  string(APPEND xml "\t<testcase name=\"${name}\" classname=\"${name}\" time=\"61.5\" "
         "status=\"${status}\">\n${skip}\t\t<system-out>${output}</system-out>\n\t</testcase>\n")
  set(xml "${xml}" PARENT_SCOPE)
endfunction()

set(pass "ran: g++ 12.2.0\nlog: /l\nran: qemu 7.2.22\ntests: 42\npairings: 2\nverdict: pass\n")
set(clang "ran: clang++ 14.0.6\nlog: /l\ntests: 40\npairings: 2\nverdict: pass\n")
set(known "ran: clang++ 14.0.6\nlog: /l\ntests: 0\npairings: 0\nnote: clang++ 14: crashes; [it] says <so>\nverdict: known defect: clang++ 14: crashes\n")
set(gone "ran: g++ 12.2.0\nlog: /g\ntests: 25\npairings: 1\nverdict: DEFECT GONE: sh4 with qemu 7 passes (remove its line)\n")
set(fail "ran: g++ 12.2.0\nlog: /f\ntests: 25\npairings: 0\nverdict: FAIL: test\nCMake Error at cell.cmake\n")
set(skip "matrix: skipped: this release has no g++-loongarch64-linux-gnu\n")

# Each table: its cases, whether it must fail, and the lines it must hold.
set(xml "")
ellipsis_case(matrix.amd64.g++ run "${pass}")
ellipsis_case(matrix.amd64.clang++ run "${clang}")
ellipsis_case(matrix.m68k.googletest run "GoogleTest for m68k")
ellipsis_case(matrix.m68k.g++ run "${pass}")
ellipsis_case(matrix.m68k.clang++ run "${known}")
ellipsis_case(matrix.loong64.googletest notrun "${skip}" SKIPPED)
ellipsis_case(matrix.loong64.g++ notrun "${skip}" SKIPPED)
set(expected_table_1 OFF)
set(lines_1
    "Debian [0-9?]+ on [a-z0-9]+: g\\+\\+ 12.2.0; clang\\+\\+ 14.0.6; qemu 7.2.22"
    "\n\\| amd64 \\| [a-z?-]+ \\| `x86_64-linux-gnu` \\| pass \\| pass \\| 4 of 4 \\| 82 \\| 2m02s \\|\n\\| m68k \\|"
    "\\| m68k \\| port \\| `m68k-linux-gnu` \\| pass \\| known defect \\(1\\) \\| 2 of 4 \\| 42 \\| 3m03s \\|"
    "\\| loong64 \\|[^\n]*\\| — \\(2\\) \\| — \\|"
    "\n\\(1\\) m68k, clang\\+\\+: clang\\+\\+ 14: crashes, \\[it\\] says <so>\n"
    "\n\\(2\\) loong64, g\\+\\+: this release has no g\\+\\+-loongarch64-linux-gnu\n"
    "\n\\(2\\)[^\n]*\n\nmatrix: 3 ABIs: every result as expected"
)
set(xml_1 "${xml}")

set(xml "")
ellipsis_case(matrix.sh4.g++ fail "${gone}")
ellipsis_case(matrix.hppa.g++ fail "${fail}")
ellipsis_case(matrix.alpha.g++ fail "ran: g++ 12.2.0\nlog: /a\n")
ellipsis_case(matrix.s390x.googletest fail "CMake Error: GoogleTest")
ellipsis_case(matrix.s390x.g++ notrun "")
set(expected_table_2 ON)
set(lines_2
    "\\| sh4 \\|[^\n]*\\| \\*\\*DEFECT GONE\\*\\*: sh4 with qemu 7 passes \\(remove its line\\) \\|"
    "\\| hppa \\|[^\n]*\\| \\*\\*FAIL\\*\\* \\(test; /f\\) \\|"
    "\\| alpha \\|[^\n]*\\| \\*\\*FAIL\\*\\* \\(no verdict: stopped or timed out after 61 s\\) \\|"
    "\\| s390x \\|[^\n]*\\| \\*\\*FAIL\\*\\* \\(not run: its GoogleTest was not built\\) \\|"
    "UNEXPECTED FAILURES"
)
set(xml_2 "${xml}")

foreach(table IN ITEMS 1 2)
  set(junit "${WORK_DIR}/table-${table}.xml")
  file(WRITE "${junit}" "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuite>\n${xml_${table}}</testsuite>\n")
  execute_process(
      COMMAND "${CMAKE_COMMAND}" "-DJUNIT=${junit}" -P "${CMAKE_CURRENT_LIST_DIR}/table.cmake"
      RESULT_VARIABLE status OUTPUT_VARIABLE printed ERROR_VARIABLE complaint
  )
  set(failed OFF)
  if(NOT status EQUAL 0)
    set(failed ON)
  endif()
  if(NOT failed STREQUAL expected_table_${table})
    string(APPEND failures "\n  table ${table}: exit status ${status}:\n${printed}${complaint}")
  endif()
  foreach(line IN LISTS lines_${table})
    if(NOT printed MATCHES "${line}")
      string(APPEND failures "\n  table ${table} lacks /${line}/:\n${printed}")
    endif()
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "the matrix's judge and table:${failures}")
endif()
