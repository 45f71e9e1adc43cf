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
# leaves on each object is what the tests look for, so a flag the compiler
# refuses fails them instead of going unnoticed.
set(ELLIPSIS_CONTROL_FLOW_FLAG "")
set(ELLIPSIS_CONTROL_FLOW_NOTE "")
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86)$")
  set(ELLIPSIS_CONTROL_FLOW_FLAG -fcf-protection)
  set(ELLIPSIS_CONTROL_FLOW_NOTE "x86 feature: IBT, SHSTK")
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
  set(ELLIPSIS_CONTROL_FLOW_FLAG -mbranch-protection=standard)
  set(ELLIPSIS_CONTROL_FLOW_NOTE "AArch64 feature: BTI, PAC")
endif()
# Stack protection and stack-clash probing are implemented for some targets
# only (neither on hppa, whose stack grows upward, nor the protector on alpha).
set(ELLIPSIS_HARDENING_CANDIDATES
    -fstack-protector-strong -fstack-clash-protection ${ELLIPSIS_CONTROL_FLOW_FLAG})

# ellipsis_hardening_flags(OUT COMMAND...) sets OUT to the options that harden
# what the compiler COMMAND (with its arguments) builds: FORTIFY, and each
# candidate it takes without a word. A flag it only warns about ("not
# supported for this target", "argument unused during compilation") does
# nothing, so -Werror makes the warning a refusal.
function(ellipsis_hardening_flags out)
  set(source "${PROJECT_BINARY_DIR}/CMakeFiles/ellipsis-flag.cpp")
  file(WRITE "${source}" "int f(int n) { char b[64] = {}; b[n & 63] = 1; return b[0]; }\n")
  # Level 3 also bounds-checks buffers whose size is known only at run time.
  set(taken -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=3)
  foreach(flag IN LISTS ELLIPSIS_HARDENING_CANDIDATES)
    execute_process(
        COMMAND ${ARGN} -O2 -Werror ${flag} -c "${source}" -o "${source}.o"
        RESULT_VARIABLE status
        OUTPUT_QUIET ERROR_QUIET
    )
    if(status EQUAL 0)
      list(APPEND taken ${flag})
    else()
      list(JOIN ARGN " " compiler)
      message(STATUS "Hardening: ${compiler} does not support ${flag}; left out")
    endif()
  endforeach()
  set(${out} ${taken} PARENT_SCOPE)
endfunction()

add_library(ellipsis_hardening INTERFACE)
set(ELLIPSIS_STACK_PROTECTOR OFF)
set(ELLIPSIS_CONTROL_FLOW_LINKED OFF)

if(ELLIPSIS_HARDENING)
  # The compiler as a command, with the target it compiles for.
  set(cxx_command "${CMAKE_CXX_COMPILER}")
  if(CMAKE_CXX_COMPILER_TARGET)
    list(APPEND cxx_command "--target=${CMAKE_CXX_COMPILER_TARGET}")
  endif()
  ellipsis_hardening_flags(flags ${cxx_command})
  if(-fstack-protector-strong IN_LIST flags)
    set(ELLIPSIS_STACK_PROTECTOR ON)
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
