# What the mistakes' scripts share: the one reader of mistakes/caught.txt,
# which says where each mistake of mistakes/ is caught, and the judge that
# holds a run of one mistake in one place to it.
#
# A place is a cell, by abi/compiler (amd64/g++), or a gate of this machine
# by name: lint, asan or memcheck. A record may name an ABI alone for all
# of its cells.

set(ELLIPSIS_MISTAKES_DIR "${CMAKE_CURRENT_LIST_DIR}/../../mistakes")
get_filename_component(ELLIPSIS_MISTAKES_DIR "${ELLIPSIS_MISTAKES_DIR}" ABSOLUTE)

# ellipsis_mistakes(OUT) sets OUT to every mistake, in the order of
# mistakes/caught.txt, and OUT_<mistake> to the places its line says catch
# it. Stops where a line has no patch or a patch no line: a mistake is
# recorded, never left out. ELLIPSIS_MISTAKES_RECORDS names another file of
# records (the judge's own test gives its own).
function(ellipsis_mistakes out)
  set(records "${ELLIPSIS_MISTAKES_DIR}/caught.txt")
  if(ELLIPSIS_MISTAKES_RECORDS)
    set(records "${ELLIPSIS_MISTAKES_RECORDS}")
  endif()
  file(STRINGS "${records}" lines REGEX "^[^#]")
  set(names "")
  foreach(line IN LISTS lines)
    # mistake | the places that catch it, or "nowhere"
    if(NOT line MATCHES "^ *([a-z0-9-]+) *\\| *([^|]*[^ |]) *$")
      message(FATAL_ERROR "mistakes/caught.txt: not mistake | places: ${line}")
    endif()
    set(name "${CMAKE_MATCH_1}")
    string(REGEX REPLACE " +" ";" places "${CMAKE_MATCH_2}")
    if(places STREQUAL "nowhere")
      set(places "")
    endif()
    if(NOT ELLIPSIS_MISTAKES_RECORDS AND NOT EXISTS "${ELLIPSIS_MISTAKES_DIR}/${name}.patch")
      message(FATAL_ERROR "mistakes/caught.txt: ${name}: there is no mistakes/${name}.patch")
    endif()
    list(APPEND names "${name}")
    set(${out}_${name} "${places}" PARENT_SCOPE)
  endforeach()
  if(NOT ELLIPSIS_MISTAKES_RECORDS)
    file(GLOB patches RELATIVE "${ELLIPSIS_MISTAKES_DIR}" "${ELLIPSIS_MISTAKES_DIR}/*.patch")
    foreach(patch IN LISTS patches)
      string(REGEX REPLACE "\\.patch$" "" name "${patch}")
      if(NOT name IN_LIST names)
        message(FATAL_ERROR "mistakes/${patch}: no line of mistakes/caught.txt says where it is caught")
      endif()
    endforeach()
  endif()
  set(${out} "${names}" PARENT_SCOPE)
endfunction()

# ellipsis_caught_at(PLACES PLACE OUT) sets OUT to whether the record's
# PLACES (a list, as ellipsis_mistakes gives it) name PLACE, or its ABI.
function(ellipsis_caught_at places place out)
  set(at OFF)
  string(REGEX REPLACE "/.*" "" abi "${place}")
  if(place IN_LIST places OR abi IN_LIST places)
    set(at ON)
  endif()
  set(${out} "${at}" PARENT_SCOPE)
endfunction()

# ellipsis_caught_by(STEP LOG OUT) sets OUT to what caught a mistake whose
# run failed at STEP (configure, build, test or lint), from LOG: the
# warning or the finding, with its file and line, or the tests that failed
# and the first guard's message among their output.
function(ellipsis_caught_by step log out)
  file(READ "${log}" text)
  set(by "${step} failed")
  set(error "([A-Za-z0-9_.+-]+\\.(cpp|h|hpp)):([0-9]+):[0-9]+: error: ([^\n]*)")
  if(step STREQUAL "build" AND text MATCHES "${error}")
    set(by "warning, ${CMAKE_MATCH_1}:${CMAKE_MATCH_3}: ${CMAKE_MATCH_4}")
  elseif(step STREQUAL "lint" AND text MATCHES "${error}")
    set(by "clang-tidy, ${CMAKE_MATCH_1}:${CMAKE_MATCH_3}: ${CMAKE_MATCH_4}")
  elseif(step STREQUAL "lint" AND text MATCHES "([A-Za-z0-9_.+-]+\\.cpp):([0-9]+):[0-9]+: (warning|error): code should be clang-formatted")
    set(by "clang-format, ${CMAKE_MATCH_1}:${CMAKE_MATCH_2}")
  elseif(step STREQUAL "test" AND text MATCHES "The following tests FAILED:\n(.*)")
    # By the test's own name: the same one fails whichever compiler's
    # functions it calls (functions., interop.).
    string(REGEX MATCHALL "[0-9]+ - [^ \n]+" failed "${CMAKE_MATCH_1}")
    list(TRANSFORM failed REPLACE "^[0-9]+ - ((functions|interop)\\.)?" "")
    list(REMOVE_DUPLICATES failed)
    list(LENGTH failed count)
    list(SUBLIST failed 0 2 shown)
    list(JOIN shown ", " by)
    if(count GREATER 2)
      math(EXPR more "${count} - 2")
      string(APPEND by " and ${more} more")
    endif()
    set(by "test ${by}")
    # The first guard to speak, in the order a reader would look for one.
    foreach(guard IN ITEMS
        "\\*\\*\\* [a-z ]+ detected \\*\\*\\*" "AddressSanitizer: [a-z-]+" "runtime error: [^\n]*"
        "Invalid (read|write) of size [0-9]+" "Conditional jump [^\n]*uninitialised value"
        "Illegal instruction" "Subprocess aborted" "SegFault" "Timeout")
      if(text MATCHES "${guard}")
        string(APPEND by ": ${CMAKE_MATCH_0}")
        break()
      endif()
    endforeach()
  elseif(step STREQUAL "configure" AND text MATCHES "CMake Error[^\n]*\n *([^\n]+)")
    set(by "configure: ${CMAKE_MATCH_1}")
  endif()
  set(${out} "${by}" PARENT_SCOPE)
endfunction()

# ellipsis_mistake_judge(MISTAKE PLACE FAILED LOG RESULTS RAN PREFIX) holds
# the run of MISTAKE in PLACE to mistakes/caught.txt: FAILED is the step at
# which the run failed (empty where it passed, so that the mistake was
# forgiven), LOG its output, RAN the tools that ran it. Leaves the result
# in RESULTS for the table, and sets PREFIX_OK, whether it went as
# recorded, and PREFIX_VERDICT: "caught: <what caught it>", "forgiven",
# "NOW CAUGHT on <place>: ..." or "NO LONGER CAUGHT on <place>: ...".
function(ellipsis_mistake_judge mistake place failed log results ran prefix)
  ellipsis_mistakes(records)
  if(NOT mistake IN_LIST records)
    message(FATAL_ERROR "mistakes/caught.txt has no line for ${mistake}")
  endif()
  ellipsis_caught_at("${records_${mistake}}" "${place}" recorded)
  set(by "")
  if(failed)
    ellipsis_caught_by("${failed}" "${log}" by)
  endif()
  set(ok OFF)
  if(failed AND recorded)
    set(ok ON)
    set(verdict "caught: ${by}")
  elseif(failed)
    set(verdict "NOW CAUGHT on ${place}: ${by} (add ${place} to its line in mistakes/caught.txt)")
  elseif(recorded)
    set(verdict "NO LONGER CAUGHT on ${place}: it passes (remove ${place} from its line in mistakes/caught.txt)")
  else()
    set(ok ON)
    set(verdict forgiven)
  endif()
  set(result forgiven)
  if(failed)
    set(result caught)
  endif()
  ellipsis_mistake_result("${results}" "${mistake}" "${place}" "${result}" "${by}" "${ran}")
  set(${prefix}_OK "${ok}" PARENT_SCOPE)
  set(${prefix}_VERDICT "${verdict}" PARENT_SCOPE)
endfunction()

# ellipsis_mistake_result(DIR MISTAKE PLACE RESULT BY RAN) leaves, for the
# table, the result of MISTAKE in PLACE in DIR: caught, forgiven or "not
# judged", what caught it or why it was not judged, and the tools that ran.
function(ellipsis_mistake_result dir mistake place result by ran)
  string(REPLACE "/" "-" file "${place}")
  file(WRITE "${dir}/${mistake}/${file}.txt"
       "place: ${place}\nresult: ${result}\nby: ${by}\nran: ${ran}\n")
endfunction()
