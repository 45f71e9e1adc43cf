# Hardening for the shipped programs, as a target they link: a build without
# presets is hardened too. Sanitizer builds turn it off: the fortified __*_chk
# functions would stand in for the calls the sanitizers intercept.

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
      -fstack-clash-protection
      -fcf-protection
  )
  target_link_options(
      ellipsis_hardening INTERFACE
      LINKER:-z,relro,-z,now
      LINKER:-z,noexecstack
  )
endif()
