# How a cross build's programs and tests run. The toolchain names qemu-user;
# where this machine runs the target's programs itself (i386 on an x86-64
# kernel with libc6-i386 and lib32stdc++6, armhf on an arm64 CPU that has
# AArch32), they run so instead, faster and without the emulator's defects.
# Which one holds is asked of a probe built like the tests: a C++ program
# linked to the target's C and C++ runtimes, started once directly and, where
# that fails, once under the emulator, which must then run it.
# Sets CMAKE_CROSSCOMPILING_EMULATOR, and the cache's ELLIPSIS_TEST_EMULATOR
# for tools/matrix: the emulator's command, or empty for none.

if(NOT CMAKE_CROSSCOMPILING)
  return()
endif()

set(probe_dir "${PROJECT_BINARY_DIR}/CMakeFiles/ellipsis-runs")
file(WRITE "${probe_dir}/runs.cpp" [=[
#include <cstdio>
#include <string>
int main(int, char **argv)
{
	std::string said(argv[0]);
	said += ": runs";
	return std::puts(said.c_str()) < 0;
}
]=])
try_compile(
    built "${probe_dir}/build"
    SOURCES "${probe_dir}/runs.cpp"
    COPY_FILE "${probe_dir}/runs"
    OUTPUT_VARIABLE log
)
if(NOT built)
  message(FATAL_ERROR "Cannot build a program for ${ELLIPSIS_TRIPLE}:\n${log}")
endif()

# ellipsis_probe_runs(OUT WHY [COMMAND...]) sets OUT to whether the probe,
# started by COMMAND (none: directly), prints "<probe>: runs" and exits 0, and
# WHY to its exit status and what it wrote.
function(ellipsis_probe_runs out why)
  execute_process(
      COMMAND ${ARGN} "${probe_dir}/runs"
      # An emulator that crashes may leave a core file behind: not in the source tree.
      WORKING_DIRECTORY "${probe_dir}"
      RESULT_VARIABLE status
      OUTPUT_VARIABLE said
      ERROR_VARIABLE complaint
  )
  if(status EQUAL 0 AND said STREQUAL "${probe_dir}/runs: runs\n")
    set(${out} ON PARENT_SCOPE)
  else()
    set(${out} OFF PARENT_SCOPE)
  endif()
  set(${why} "it ended with '${status}': ${complaint}${said}" PARENT_SCOPE)
endfunction()

option(ELLIPSIS_EMULATE "Run a cross build's tests under qemu even where this machine runs them itself" OFF)
ellipsis_probe_runs(native why)
if(native AND ELLIPSIS_EMULATE)
  set(native OFF)
  message(STATUS "Tests: under the emulator, as ELLIPSIS_EMULATE asks")
endif()
if(native)
  set(CMAKE_CROSSCOMPILING_EMULATOR "")
endif()
set(ELLIPSIS_TEST_EMULATOR "${CMAKE_CROSSCOMPILING_EMULATOR}" CACHE INTERNAL "What the tests run under")
if(native)
  message(STATUS "Tests: this machine runs ${ELLIPSIS_TRIPLE} programs itself")
  return()
endif()

set(emulator ${CMAKE_CROSSCOMPILING_EMULATOR})
list(GET emulator 0 qemu)
find_program(ELLIPSIS_QEMU "${qemu}")
if(NOT ELLIPSIS_QEMU)
  message(FATAL_ERROR "${qemu}, which runs ${ELLIPSIS_TRIPLE} programs here, is missing: "
                      "apt-get install qemu-user")
endif()
execute_process(COMMAND "${ELLIPSIS_QEMU}" --version OUTPUT_VARIABLE version)
string(REGEX MATCH "version [^ \n]+" version "${version}")
ellipsis_probe_runs(emulated why ${emulator})
if(NOT emulated)
  message(FATAL_ERROR "${qemu} ${version} cannot run a program built for ${ELLIPSIS_TRIPLE} (${why})")
endif()
message(STATUS "Tests: run under ${qemu} ${version}")
