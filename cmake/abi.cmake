# ellipsis_abi(FIELD VALUE PREFIX) finds the line of cmake/abis.txt whose FIELD
# (abi or triple) is VALUE and sets PREFIX_ABI, PREFIX_DEBIAN12,
# PREFIX_DEBIAN13, PREFIX_TRIPLE, PREFIX_QEMU, PREFIX_COMPILERS (a list) and
# PREFIX_WALKERS; PREFIX_ABI is empty when no line matches.

function(ellipsis_abi field value prefix)
  set(fields ABI DEBIAN12 DEBIAN13 TRIPLE QEMU COMPILERS WALKERS)
  foreach(name IN LISTS fields)
    set(${prefix}_${name} "" PARENT_SCOPE)
  endforeach()
  string(TOUPPER "${field}" field)
  list(FIND fields "${field}" column)
  if(column LESS 0)
    message(FATAL_ERROR "ellipsis_abi: no field '${field}' in cmake/abis.txt")
  endif()

  file(STRINGS "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/abis.txt" lines REGEX "^[^#]")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "[ \t]+" ";" cells "${line}")
    list(GET cells ${column} cell)
    if(cell STREQUAL value)
      foreach(name IN LISTS fields)
        list(POP_FRONT cells cell)
        string(REPLACE "," ";" cell "${cell}")
        set(${prefix}_${name} "${cell}" PARENT_SCOPE)
      endforeach()
      return()
    endif()
  endforeach()
endfunction()

# ellipsis_abis(OUT) sets OUT to the abi of every line of cmake/abis.txt, in order.
function(ellipsis_abis out)
  file(STRINGS "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/abis.txt" lines REGEX "^[^#]")
  set(abis "")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "^[^ \t]+" abi "${line}")
    list(APPEND abis "${abi}")
  endforeach()
  set(${out} "${abis}" PARENT_SCOPE)
endfunction()

# ellipsis_defect_record(ABI TOOL VERSION PREFIX) sets PREFIX_STAGE,
# PREFIX_TEXT and PREFIX_REASON from the line of cmake/defects.txt that
# records TOOL at major VERSION failing on ABI, or each to the empty string
# where there is none.
function(ellipsis_defect_record abi tool version prefix)
  foreach(field IN ITEMS STAGE TEXT REASON)
    set(${prefix}_${field} "" PARENT_SCOPE)
  endforeach()
  file(STRINGS "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/defects.txt" lines REGEX "^[^#]")
  foreach(line IN LISTS lines)
    # abi | tool version | stage | text | reason, where the reason may hold anything but "|".
    if(NOT line MATCHES "^ *([^ |]+) *\\| *([^|]*[^ |]) *\\| *([^|]*[^ |]) *\\| *([^|]*[^ |]) *\\| *(.*[^ ]) *$")
      message(FATAL_ERROR "cmake/defects.txt: not abi | tool version | stage | text | reason: ${line}")
    endif()
    if(CMAKE_MATCH_1 STREQUAL abi AND CMAKE_MATCH_2 STREQUAL "${tool} ${version}")
      set(${prefix}_STAGE "${CMAKE_MATCH_3}" PARENT_SCOPE)
      set(${prefix}_TEXT "${CMAKE_MATCH_4}" PARENT_SCOPE)
      set(${prefix}_REASON "${CMAKE_MATCH_5}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
endfunction()

# ellipsis_defect(ABI TOOL VERSION OUT) sets OUT to the reason that
# cmake/defects.txt gives for TOOL (g++, clang++ or qemu) at major VERSION
# failing on ABI, or to the empty string where it records none.
function(ellipsis_defect abi tool version out)
  ellipsis_defect_record("${abi}" "${tool}" "${version}" record)
  set(${out} "${record_REASON}" PARENT_SCOPE)
endfunction()

# ellipsis_target_abi() sets the ELLIPSIS_TARGET_* variables of ellipsis_abi
# for the ABI that the C++ compiler builds for, and ELLIPSIS_TRIPLE, its GNU
# triple. This project's cross toolchain has named it already; any other
# toolchain (a distribution's cross build, say) is asked: the triple clang
# was given, the one the compiler says it builds for, or the multiarch
# directory in which CMake found the target's libraries. An ABI that is not
# in the table leaves ELLIPSIS_TARGET_ABI empty, and the tests expect less.
macro(ellipsis_target_abi)
  if(NOT ELLIPSIS_TARGET_ABI)
    execute_process(
        COMMAND ${CMAKE_CXX_COMPILER} -dumpmachine
        OUTPUT_VARIABLE _ellipsis_machine OUTPUT_STRIP_TRAILING_WHITESPACE
        ERROR_QUIET
    )
    foreach(_ellipsis_triple IN ITEMS "${CMAKE_CXX_COMPILER_TARGET}" "${_ellipsis_machine}"
                                      "${CMAKE_LIBRARY_ARCHITECTURE}")
      if(_ellipsis_triple)
        ellipsis_abi(triple "${_ellipsis_triple}" ELLIPSIS_TARGET)
      endif()
      if(ELLIPSIS_TARGET_ABI)
        break()
      endif()
    endforeach()
  endif()
  if(NOT ELLIPSIS_TRIPLE)
    set(ELLIPSIS_TRIPLE "${ELLIPSIS_TARGET_TRIPLE}")
  endif()
endmacro()
