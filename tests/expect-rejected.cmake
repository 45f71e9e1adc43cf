# Passes when COMPILER rejects every call in SOURCE that is marked "// rejected",
# each for what a format or sentinel attribute checks, and only then: a function
# that lost its attribute lets such a call through.
# Takes COMPILER, SOURCE, INCLUDE_DIR, where the program's source is, and
# TARGET, the triple a clang++ cross build compiles for (empty otherwise).

set(target "")
if(TARGET)
  set(target "--target=${TARGET}")
endif()
execute_process(
    COMMAND "${COMPILER}" ${target} -std=c++17 -fsyntax-only -Wall -Werror
            -I "${INCLUDE_DIR}" "${SOURCE}"
    RESULT_VARIABLE status
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output
)
file(STRINGS "${SOURCE}" marked REGEX "// rejected$")
string(REGEX MATCHALL "\\[-W[^]]*(format|sentinel)[^]]*\\]" rejections "${output}")
list(LENGTH marked expected)
list(LENGTH rejections found)
# A call may draw more than one diagnostic: one per mismatched argument.
if(status EQUAL 0 OR found LESS expected)
  message(FATAL_ERROR
      "${SOURCE}: ${found} format or sentinel diagnostics for its ${expected} "
      "marked calls: is an attribute missing?\n${output}")
endif()
