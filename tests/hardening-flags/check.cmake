# Passes when ellipsis_hardening_flags takes a flag for what it does to the
# code and for nothing less: not for being accepted, and the stack protector
# only where it checks a canary. Asks fake-compiler.sh, which does each.
# Takes SOURCE_DIR, the project's top, and WORK_DIR, a scratch directory.

include("${SOURCE_DIR}/cmake/hardening-flags.cmake")

set(ELLIPSIS_HARDENING_CANDIDATES
    -fstack-protector-strong -fno-stack-protector
    -fstack-clash-protection -fno-stack-clash-protection
    -fcf-protection -fcf-protection=none)

# Each case: what the compiler does, then the flags it must be given.
set(cases
    "ignores"
    "warns"
    "honours -fstack-protector-strong -fstack-clash-protection -fcf-protection"
    "hollow -fstack-clash-protection -fcf-protection"
)
set(failures "")
foreach(case IN LISTS cases)
  string(REPLACE " " ";" expected "${case}")
  list(POP_FRONT expected behaviour)
  set(ENV{FAKE_COMPILER} "${behaviour}")
  ellipsis_hardening_flags(taken "${WORK_DIR}/${behaviour}"
                           bash "${CMAKE_CURRENT_LIST_DIR}/fake-compiler.sh")
  list(REMOVE_ITEM taken -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=3)
  if(NOT taken STREQUAL expected)
    string(APPEND failures "\n  a compiler that ${behaviour}: took '${taken}', not '${expected}'")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "ellipsis_hardening_flags:${failures}")
endif()
