# How a cross build's tests, and the programs they start, run: directly where
# this machine runs the target's programs (i386 on an x86-64 kernel, or a
# registered qemu-user-static handler), else under the emulator the user
# gives or the qemu-user of cmake/abis.txt. A probe built like the tests (C
# and C++ runtimes) is asked, directly and then under the emulator. Sets
# CMAKE_CROSSCOMPILING_EMULATOR, empty where none is needed.

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
  message(FATAL_ERROR "Cannot build a program with ${CMAKE_CXX_COMPILER}:\n${log}")
endif()

# ellipsis_probe_runs(OUT WHY [COMMAND...]) sets OUT to whether the probe,
# started by COMMAND (none: directly), prints "<probe>: runs" and exits 0, and
# WHY to its exit status and what it wrote.
function(ellipsis_probe_runs out why)
  # An emulator that crashes may leave a core file: not in the source tree.
  execute_process(COMMAND ${ARGN} "${probe_dir}/runs" WORKING_DIRECTORY "${probe_dir}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE complaint)
  set(${out} OFF PARENT_SCOPE)
  if(status EQUAL 0 AND said STREQUAL "${probe_dir}/runs: runs\n")
    set(${out} ON PARENT_SCOPE)
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
  message(STATUS "Tests: this machine runs ${CMAKE_CXX_COMPILER} programs itself")
  return()
endif()

set(ours OFF)
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  if(NOT ELLIPSIS_TARGET_QEMU)
    message(FATAL_ERROR
        "Nothing here runs what ${CMAKE_CXX_COMPILER} builds, and cmake/abis.txt names no qemu "
        "for it: give -DCMAKE_CROSSCOMPILING_EMULATOR=<command>, or -DBUILD_TESTING=OFF")
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR "qemu-${ELLIPSIS_TARGET_QEMU}")
  set(ours ON)
endif()

set(emulator ${CMAKE_CROSSCOMPILING_EMULATOR})
list(GET emulator 0 command)
find_program(ELLIPSIS_EMULATOR "${command}")
if(NOT ELLIPSIS_EMULATOR)
  message(FATAL_ERROR "${command}, which runs ${CMAKE_CXX_COMPILER} programs here, is missing: "
                      "apt-get install qemu-user, or -DBUILD_TESTING=OFF")
endif()
execute_process(COMMAND "${ELLIPSIS_EMULATOR}" --version OUTPUT_VARIABLE version ERROR_QUIET)
string(REGEX MATCH "version [^ \n]+" version "${version}")
# The loader and the C library must come from one place: the loader of
# /usr/<triple> with the root's multiarch libc crashes in a fork's child.
# So qemu takes the root's own, where it has the target's (a distribution's
# cross build installs them); else /usr/<triple>'s, a cross toolchain's.
ellipsis_probe_runs(emulated why ${emulator})
if(NOT emulated AND ours AND IS_DIRECTORY "/usr/${ELLIPSIS_TRIPLE}")
  list(APPEND emulator -L "/usr/${ELLIPSIS_TRIPLE}")
  ellipsis_probe_runs(emulated why ${emulator})
endif()
if(NOT emulated)
  message(FATAL_ERROR "${command} ${version} cannot run a program built by ${CMAKE_CXX_COMPILER} (${why})")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR "${emulator}")
list(JOIN emulator " " shown)
message(STATUS "Tests: run under ${shown} (${version})")
