# ellipsis_abi(FIELD VALUE PREFIX) finds the line of cmake/abis.txt whose FIELD
# (abi or triple) is VALUE and sets PREFIX_ABI, PREFIX_DEBIAN, PREFIX_TRIPLE,
# PREFIX_RUNS, PREFIX_COMPILERS (a list) and PREFIX_WALKERS; PREFIX_ABI is
# empty when no line matches.

function(ellipsis_abi field value prefix)
  set(fields ABI DEBIAN TRIPLE RUNS COMPILERS WALKERS)
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
