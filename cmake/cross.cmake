# Toolchain for Debian's cross compilers, chosen by the GNU triple in
# ELLIPSIS_TRIPLE (aarch64-linux-gnu, say): the compilers <triple>-gcc and
# <triple>-g++ with the target's libraries under /usr/<triple>, and the
# programs and tests run under qemu-user with that tree as their root.

if(NOT ELLIPSIS_TRIPLE)
  message(FATAL_ERROR "cross.cmake needs -DELLIPSIS_TRIPLE=<triple>, e.g. aarch64-linux-gnu")
endif()
# try_compile projects load this file again and see only the variables named here.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ELLIPSIS_TRIPLE)

set(CMAKE_SYSTEM_NAME Linux)
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR "${ELLIPSIS_TRIPLE}")

# GoogleTest, built from source for the target, is C as well as C++.
set(CMAKE_C_COMPILER "${ELLIPSIS_TRIPLE}-gcc")
set(CMAKE_CXX_COMPILER "${ELLIPSIS_TRIPLE}-g++")

set(sysroot "/usr/${ELLIPSIS_TRIPLE}")
set(CMAKE_FIND_ROOT_PATH "${sysroot}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# An x86-64 kernel runs i386 programs itself (with Debian's libc6-i386 and
# lib32stdc++6); qemu-i386 would also hang in the children the tests fork.
if(NOT CMAKE_SYSTEM_PROCESSOR MATCHES "^i[3-6]86$")
  set(qemu_cpu "${CMAKE_SYSTEM_PROCESSOR}")
  if(qemu_cpu STREQUAL "powerpc64le")
    set(qemu_cpu ppc64le)
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR "qemu-${qemu_cpu};-L;${sysroot}")
endif()
