# GoogleTest for ABI, built from Debian's sources by the ABI's g++ and
# installed in DIR, for the cells of both compilers (both link the target's
# one libstdc++). Skips where that g++ is missing: each cell says why.

cmake_minimum_required(VERSION 3.25)

include("${SOURCE}/cmake/abi.cmake")
ellipsis_abi(abi "${ABI}" line)
ellipsis_compiler(g++ "${line_TRIPLE}" gxx)
find_program(command "${gxx_CXX}" NO_CACHE)
if(NOT command)
  message("matrix: skipped: no ${gxx_CXX}, so no GoogleTest for ${ABI}")
  return()
endif()

include("${CMAKE_CURRENT_LIST_DIR}/matrix.cmake")
set(log "${DIR}.log")
file(REMOVE_RECURSE "${DIR}" "${log}")
foreach(step IN ITEMS configure build install)
  if(step STREQUAL "configure")
    set(command
        "${CMAKE_COMMAND}" -S /usr/src/googletest -B "${DIR}/build" -G Ninja
        --toolchain "${SOURCE}/cmake/cross.cmake" "-DELLIPSIS_ABI=${ABI}"
        "-DELLIPSIS_GXX=${ELLIPSIS_GXX}" -DCMAKE_BUILD_TYPE=Release
        -DCMAKE_POSITION_INDEPENDENT_CODE=ON -DBUILD_GMOCK=OFF
        "-DCMAKE_INSTALL_PREFIX=${DIR}/install"
    )
  else()
    set(command "${CMAKE_COMMAND}" --${step} "${DIR}/build")
  endif()
  ellipsis_logged("${log}" status ${command})
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "GoogleTest for ${ABI} by ${gxx_CXX}: the ${step} step failed "
                        "(${log}):\n${status_OUTPUT}")
  endif()
endforeach()
message("GoogleTest for ${ABI} by ${gxx_CXX} in ${DIR}/install")
