# Hardening for the shipped programs, as a target they link: a build without
# presets is hardened too. Sanitizer builds turn it off: the fortified __*_chk
# functions would stand in for the calls the sanitizers intercept.
# What a target supports differs, so the choice is made here, once, for native
# and cross builds and for either compiler, by asking the compiler.

# Without this check CMake ignores POSITION_INDEPENDENT_CODE on executables,
# and PIE would rest on the compiler's own default.
include(CheckPIESupported)
check_pie_supported()

option(ELLIPSIS_HARDENING "Build the programs fortified, stack-protected and fully RELRO" ON)

# Control-flow protection is each architecture's own: CET on x86, branch
# target identification and return-address signing on arm64. The note it
# leaves on each object is what the tests look for, wherever the compiler
# gives the flag.
set(ELLIPSIS_CONTROL_FLOW_FLAG "")
set(ELLIPSIS_CONTROL_FLOW_NOTE "")
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86)$")
  set(ELLIPSIS_CONTROL_FLOW_FLAG -fcf-protection -fcf-protection=none)
  set(ELLIPSIS_CONTROL_FLOW_NOTE "x86 feature: IBT, SHSTK")
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
  set(ELLIPSIS_CONTROL_FLOW_FLAG -mbranch-protection=standard -mbranch-protection=none)
  set(ELLIPSIS_CONTROL_FLOW_NOTE "AArch64 feature: BTI, PAC")
endif()
# Stack protection and stack-clash probing are implemented for some targets
# only; each flag comes with the one that turns it off, for the comparison.
set(ELLIPSIS_HARDENING_CANDIDATES
    -fstack-protector-strong -fno-stack-protector
    -fstack-clash-protection -fno-stack-clash-protection
    ${ELLIPSIS_CONTROL_FLOW_FLAG})
include("${CMAKE_CURRENT_LIST_DIR}/hardening-flags.cmake")

add_library(ellipsis_hardening INTERFACE)
set(ELLIPSIS_STACK_PROTECTOR OFF)
set(ELLIPSIS_CONTROL_FLOW_LINKED OFF)

if(ELLIPSIS_HARDENING)
  # The compiler as a command, with the target it compiles for.
  set(cxx_command "${CMAKE_CXX_COMPILER}")
  if(CMAKE_CXX_COMPILER_TARGET)
    list(APPEND cxx_command "--target=${CMAKE_CXX_COMPILER_TARGET}")
  endif()
  ellipsis_hardening_flags(flags "${PROJECT_BINARY_DIR}/CMakeFiles/ellipsis-hardening" ${cxx_command})
  if(-fstack-protector-strong IN_LIST flags)
    set(ELLIPSIS_STACK_PROTECTOR ON)
  endif()
  if(ELLIPSIS_CONTROL_FLOW_FLAG)
    list(GET ELLIPSIS_CONTROL_FLOW_FLAG 0 control_flow_flag)
    if(NOT control_flow_flag IN_LIST flags)
      set(ELLIPSIS_CONTROL_FLOW_NOTE "")
    endif()
  endif()

  target_compile_options(ellipsis_hardening INTERFACE ${flags})
  target_link_options(
      ellipsis_hardening INTERFACE
      LINKER:-z,relro,-z,now
      LINKER:-z,noexecstack
  )

  # The linker keeps a control-flow property only when every input carries
  # it, so a linked program can carry it only where the C runtime's start
  # files do (arm64 on Debian 13, not x86-64 there or anything on Debian 12).
  # The start files are asked, and ELLIPSIS_CONTROL_FLOW_LINKED says whether
  # the programs must carry the note too.
  if(ELLIPSIS_CONTROL_FLOW_NOTE)
    set(ELLIPSIS_CONTROL_FLOW_LINKED ON)
    foreach(file IN ITEMS Scrt1.o crti.o crtbeginS.o crtendS.o crtn.o)
      execute_process(
          COMMAND ${cxx_command} -print-file-name=${file}
          OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE
      )
      execute_process(
          COMMAND "${CMAKE_READELF}" --notes "${path}"
          OUTPUT_VARIABLE notes ERROR_QUIET
      )
      string(FIND "${notes}" "${ELLIPSIS_CONTROL_FLOW_NOTE}" found)
      if(found LESS 0)
        message(STATUS "Hardening: ${path} lacks \"${ELLIPSIS_CONTROL_FLOW_NOTE}\"; "
                       "only the objects can carry it")
        set(ELLIPSIS_CONTROL_FLOW_LINKED OFF)
        break()
      endif()
    endforeach()
  endif()
endif()
