# Toolchain for one ABI of cmake/abis.txt, named by ELLIPSIS_ABI (arm64, say),
# built by ELLIPSIS_COMPILER: g++ (Debian's <triple>-g++, the default) or
# clang++ (--target=<triple>, which finds the same cross libraries).
# ELLIPSIS_GXX and ELLIPSIS_CLANGXX name another version of either (g++-13,
# clang++-16). The target's libraries are under /usr/<triple>, and the
# programs and tests run under qemu-user with that tree as their root, unless
# configure finds that this machine runs them itself (cmake/emulator.cmake).

include("${CMAKE_CURRENT_LIST_DIR}/abi.cmake")

if(NOT ELLIPSIS_ABI)
  message(FATAL_ERROR "cross.cmake needs -DELLIPSIS_ABI=<abi>, an abi of cmake/abis.txt")
endif()
if(NOT ELLIPSIS_COMPILER)
  set(ELLIPSIS_COMPILER g++)
endif()
# try_compile projects load this file again and see only the variables named here.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES
     ELLIPSIS_ABI ELLIPSIS_COMPILER ELLIPSIS_GXX ELLIPSIS_CLANGXX)

ellipsis_abi(abi "${ELLIPSIS_ABI}" ELLIPSIS_TARGET)
if(NOT ELLIPSIS_TARGET_ABI)
  message(FATAL_ERROR "cross.cmake: '${ELLIPSIS_ABI}' is not an abi of cmake/abis.txt")
endif()
if(NOT ELLIPSIS_COMPILER IN_LIST ELLIPSIS_TARGET_COMPILERS)
  message(FATAL_ERROR "cross.cmake: ${ELLIPSIS_COMPILER} does not target ${ELLIPSIS_ABI}")
endif()
set(ELLIPSIS_TRIPLE "${ELLIPSIS_TARGET_TRIPLE}")

set(CMAKE_SYSTEM_NAME Linux)
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR "${ELLIPSIS_TRIPLE}")

# GoogleTest, built from source for the target, is C as well as C++.
ellipsis_compiler("${ELLIPSIS_COMPILER}" "${ELLIPSIS_TRIPLE}" compiler)
set(CMAKE_C_COMPILER "${compiler_CC}")
set(CMAKE_CXX_COMPILER "${compiler_CXX}")
set(CMAKE_C_COMPILER_TARGET "${compiler_TARGET}")
set(CMAKE_CXX_COMPILER_TARGET "${compiler_TARGET}")
# The target's GNU binutils, whichever compiler: the tests read notes in
# GNU readelf's words, which llvm-readelf does not use.
set(CMAKE_READELF "${ELLIPSIS_TRIPLE}-readelf" CACHE FILEPATH "readelf for ${ELLIPSIS_TRIPLE}")
set(CMAKE_OBJCOPY "${ELLIPSIS_TRIPLE}-objcopy" CACHE FILEPATH "objcopy for ${ELLIPSIS_TRIPLE}")

set(sysroot "/usr/${ELLIPSIS_TRIPLE}")
set(CMAKE_FIND_ROOT_PATH "${sysroot}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
