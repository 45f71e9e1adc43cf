# ellipsis_hardening_flags(OUT DIR COMMAND...) sets OUT to the options that
# harden what the compiler COMMAND (with its arguments) builds: FORTIFY, and
# each of ELLIPSIS_HARDENING_CANDIDATES that the compiler takes without a
# word and that changes what a probe compiles to, against the probe compiled
# with the flag's negation. A flag can be accepted and still do nothing (the
# stack protector on hppa, whose stack grows upward), so acceptance alone
# proves nothing; and the stack protector must make the probe call the guard's
# failure handler. DIR is a scratch directory. Usable in script mode too.
#
# ELLIPSIS_HARDENING_CANDIDATES holds pairs: a flag, then what turns it off.

# ellipsis_probe_compile(OUT SOURCE FLAG COMMAND...) compiles SOURCE to
# assembly with FLAG and sets OUT to the text, or to the empty string where
# the compiler said anything at all. It runs in the C locale: a locale that
# the machine lacks makes a shell (a compiler wrapper) warn on every run.
function(ellipsis_probe_compile out source flag)
  execute_process(
      COMMAND "${CMAKE_COMMAND}" -E env LC_ALL=C ${ARGN} -O2 -fPIE -Werror ${flag} -S "${source}" -o -
      RESULT_VARIABLE status
      OUTPUT_VARIABLE assembly
      ERROR_VARIABLE said
  )
  if(NOT status EQUAL 0 OR NOT said STREQUAL "")
    set(assembly "")
  endif()
  set(${out} "${assembly}" PARENT_SCOPE)
endfunction()

function(ellipsis_hardening_flags out dir)
  set(command ${ARGN})
  file(MAKE_DIRECTORY "${dir}")
  set(source "${dir}/probe.cpp")
  # A local array for the protector to guard, a frame larger than any guard
  # page and a buffer that grows at run time for stack-clash probing.
  file(WRITE "${source}" [=[
int use(char *);
int probe(int n)
{
	char small[64];
	char large[1 << 20];
	char *grown = static_cast<char *>(__builtin_alloca(static_cast<unsigned>(n)));
	return use(small) + use(large) + use(grown);
}
]=])
  list(JOIN command " " name)

  # Level 3 also bounds-checks buffers whose size is known only at run time.
  set(taken -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=3)
  set(candidates ${ELLIPSIS_HARDENING_CANDIDATES})
  while(candidates)
    list(POP_FRONT candidates flag negation)
    ellipsis_probe_compile(with "${source}" "${flag}" ${command})
    ellipsis_probe_compile(without "${source}" "${negation}" ${command})
    if(with STREQUAL "" OR without STREQUAL "")
      message(STATUS "Hardening: ${name} does not support ${flag}; left out")
    elseif(with STREQUAL without)
      message(STATUS "Hardening: ${name} accepts ${flag}, but it changes nothing; left out")
    elseif(flag MATCHES "^-fstack-protector" AND NOT with MATCHES "__stack_chk_fail")
      message(STATUS "Hardening: ${name} accepts ${flag}, but it adds no canary; left out")
    else()
      list(APPEND taken ${flag})
    endif()
  endwhile()
  set(${out} ${taken} PARENT_SCOPE)
endfunction()
