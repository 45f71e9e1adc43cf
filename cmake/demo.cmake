# Runs each program once, in order, in a fresh scratch directory, and shows
# what it wrote on each stream and the status it exited with.
# Takes BIN_DIR, where the programs are, and SCRATCH, a directory it may wipe.

file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")

# Prints text under a heading that gives its size; message() ends every line
# itself, so one final newline is taken off and a missing one is said.
function(show heading text)
  string(LENGTH "${text}" bytes)
  if(bytes EQUAL 0)
    message("-- ${heading}: empty")
  elseif(text MATCHES "\n$")
    string(REGEX REPLACE "\n$" "" text "${text}")
    message("-- ${heading}, ${bytes} bytes:\n${text}")
  else()
    message("-- ${heading}, ${bytes} bytes:\n${text}\n(no newline at the end)")
  endif()
endfunction()

set(failed "")
foreach(program IN ITEMS maxpick floatrow linewalk failnote fmtwrite failnote)
  execute_process(COMMAND "${BIN_DIR}/${program}" WORKING_DIRECTORY "${SCRATCH}"
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  message("\n== ${program}")
  show("stdout" "${out}")
  show("stderr" "${err}")
  message("-- exit status: ${status}")
  if(NOT status STREQUAL "0")
    list(APPEND failed "${program}")
  endif()
endforeach()

message("\n== myfile.txt")
if(EXISTS "${SCRATCH}/myfile.txt")
  file(READ "${SCRATCH}/myfile.txt" content)
  show("content" "${content}")
else()
  message("-- missing")
  list(APPEND failed "fmtwrite (no myfile.txt)")
endif()

if(failed)
  message(FATAL_ERROR "Failed: ${failed}")
endif()
