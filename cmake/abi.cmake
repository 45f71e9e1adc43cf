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

# ellipsis_compiler(COMPILER TRIPLE PREFIX) says how COMPILER (g++ or clang++,
# by the commands that ELLIPSIS_GXX and ELLIPSIS_CLANGXX name: another version
# such as g++-13 or clang++-16, or g++ and clang++ where they are unset)
# builds for TRIPLE, or for this machine where TRIPLE is empty. Sets
# PREFIX_CXX and PREFIX_CC, the C++ and C compilers' commands (Debian's
# <triple>-g++ for a cross g++); PREFIX_TARGET, the triple clang++ is given
# (empty for g++); PREFIX_PACKAGE, the Debian package that brings the C++ one.
function(ellipsis_compiler compiler triple prefix)
  set(gxx g++)
  set(clangxx clang++)
  if(ELLIPSIS_GXX)
    set(gxx "${ELLIPSIS_GXX}")
  endif()
  if(ELLIPSIS_CLANGXX)
    set(clangxx "${ELLIPSIS_CLANGXX}")
  endif()
  set(target "")
  if(compiler STREQUAL "g++")
    # g++-13 and gcc-13; the package of <triple>-g++-13 is g++-13-<triple>,
    # with the underscores that package names cannot hold as dashes.
    string(REPLACE "g++" "gcc" cc "${gxx}")
    set(cxx "${gxx}")
    set(package "${gxx}")
    if(triple)
      set(cxx "${triple}-${gxx}")
      set(cc "${triple}-${cc}")
      string(REPLACE "_" "-" name "${triple}")
      set(package "${gxx}-${name}")
    endif()
  elseif(compiler STREQUAL "clang++")
    # clang++-16 and clang-16, both in the package clang-16.
    string(REPLACE "clang++" "clang" cc "${clangxx}")
    set(cxx "${clangxx}")
    set(package "${cc}")
    set(target "${triple}")
  else()
    message(FATAL_ERROR "ellipsis_compiler: '${compiler}' is neither g++ nor clang++")
  endif()
  set(${prefix}_CXX "${cxx}" PARENT_SCOPE)
  set(${prefix}_CC "${cc}" PARENT_SCOPE)
  set(${prefix}_TARGET "${target}" PARENT_SCOPE)
  set(${prefix}_PACKAGE "${package}" PARENT_SCOPE)
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
