# Hardening for the shipped programs, as a target they link: a build without
# presets is hardened too. Sanitizer builds turn it off: the fortified __*_chk
# functions would stand in for the calls the sanitizers intercept.
# What a target supports differs, so the choice is made here, once, for native
# and cross builds alike.

# Without this check CMake ignores POSITION_INDEPENDENT_CODE on executables,
# and PIE would rest on the compiler's own default.
include(CheckPIESupported)
check_pie_supported()

option(ELLIPSIS_HARDENING "Build the programs fortified, stack-protected and fully RELRO" ON)

add_library(ellipsis_hardening INTERFACE)

if(ELLIPSIS_HARDENING)
  target_compile_options(
      ellipsis_hardening INTERFACE
      # Level 3 also bounds-checks buffers whose size is known only at run time.
      -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=3
      -fstack-protector-strong
  )
  target_link_options(
      ellipsis_hardening INTERFACE
      LINKER:-z,relro,-z,now
      LINKER:-z,noexecstack
  )

  # Control-flow protection is each architecture's own: CET on x86, branch
  # target identification and return-address signing on arm64. The note it
  # leaves on each object is what the tests look for.
  set(ELLIPSIS_CONTROL_FLOW_NOTE "")
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86)$")
    target_compile_options(ellipsis_hardening INTERFACE -fcf-protection)
    set(ELLIPSIS_CONTROL_FLOW_NOTE "x86 feature: IBT, SHSTK")
  elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
    target_compile_options(ellipsis_hardening INTERFACE -mbranch-protection=standard)
    set(ELLIPSIS_CONTROL_FLOW_NOTE "AArch64 feature: BTI, PAC")
  endif()

  # Stack-clash probing is implemented for some targets only.
  include(CheckCXXCompilerFlag)
  check_cxx_compiler_flag(-fstack-clash-protection ELLIPSIS_HAVE_STACK_CLASH_PROTECTION)
  if(ELLIPSIS_HAVE_STACK_CLASH_PROTECTION)
    target_compile_options(ellipsis_hardening INTERFACE -fstack-clash-protection)
  endif()
endif()
