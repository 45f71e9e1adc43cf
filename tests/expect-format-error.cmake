# Passes when COMPILER rejects SOURCE for a format mismatch, and only then: a
# forwarder without its printf format attribute lets the mismatched call through.
# Takes COMPILER, SOURCE and INCLUDE_DIR, where the program's source is.

execute_process(
    COMMAND "${COMPILER}" -std=c++17 -fsyntax-only -Werror=format
            -I "${INCLUDE_DIR}" "${SOURCE}"
    RESULT_VARIABLE status
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output
)
if(status EQUAL 0)
  message(FATAL_ERROR "${SOURCE}: the mismatched call compiled: is the format attribute missing?")
endif()
if(NOT output MATCHES "\\[-W[^]]*format")
  message(FATAL_ERROR "${SOURCE}: rejected, but not for its format:\n${output}")
endif()
