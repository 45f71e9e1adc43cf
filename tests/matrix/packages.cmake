# Prints, one a line, the Debian packages that the matrix needs on this
# machine for ABIS (default: every one) with the compilers that ELLIPSIS_GXX
# and ELLIPSIS_CLANGXX name: those compilers, GoogleTest's sources,
# qemu-user, the cross g++ of every other ABI that this release's archive
# has, and the 32-bit runtime with which an x86-64 kernel runs i386 programs
# itself, where the archive has it.

cmake_minimum_required(VERSION 3.25)

include("${CMAKE_CURRENT_LIST_DIR}/../../cmake/abi.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/matrix.cmake")

execute_process(
    COMMAND dpkg --print-architecture
    OUTPUT_VARIABLE machine OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY
)
ellipsis_compiler(g++ "" gxx)
ellipsis_compiler(clang++ "" clangxx)
set(packages "${gxx_PACKAGE}" "${clangxx_PACKAGE}" googletest qemu-user)
ellipsis_abis(abis)
if(ABIS)
  set(abis "${ABIS}")
endif()
foreach(abi IN LISTS abis)
  ellipsis_abi(abi "${abi}" line)
  if(NOT line_ABI)
    message(FATAL_ERROR "packages.cmake: '${abi}' is not an abi of cmake/abis.txt")
  endif()
  if(abi STREQUAL machine)
    continue()
  endif()
  ellipsis_compiler(g++ "${line_TRIPLE}" cross)
  list(APPEND packages "${cross_PACKAGE}")
endforeach()
list(APPEND packages libc6-i386 lib32stdc++6)

set(listed "")
foreach(package IN LISTS packages)
  ellipsis_in_archive("${package}" has)
  if(has)
    string(APPEND listed "${package}\n")
  endif()
endforeach()
execute_process(COMMAND printf %s "${listed}")
