# The atlas's tests in the matrix (included by tests/matrix/CMakeLists.txt,
# with abis, the matrix's ABIs, and measured_<abi>.<compiler>, whether a cell
# runs the suite, its compiler there and with no record of a defect):
# each cell measures (tests/atlas/CMakeLists.txt); here the measurements are
# checked against the ABIs' documents (tests/atlas/facts.txt), g++'s against
# clang++'s, and drawn, rendered and compared with the checked-in atlas. The
# va_list's record is not compared: where its pointers point into the frame is
# each compiler's choice; the documents' facts check the fields the ABI fixes.

set(cells "${work}/cells")
set(drawn "${work}/atlas")
set(measured "")
foreach(abi IN LISTS abis)
  ellipsis_abi(abi "${abi}" line)
  set(ran "")
  foreach(compiler IN LISTS line_COMPILERS)
    if(measured_${abi}.${compiler})
      list(APPEND ran ${compiler})
      list(APPEND measured "matrix.${abi}.${compiler}")
    endif()
  endforeach()
  list(LENGTH ran both)
  if(both EQUAL 2)
    add_test(NAME "atlas.${abi}.compilers-agree"
             COMMAND diff -u -r -x *.copies -x atlas_record.txt "${cells}/matrix.${abi}.g++/atlas" "${cells}/matrix.${abi}.clang++/atlas")
    set_tests_properties("atlas.${abi}.compilers-agree" PROPERTIES
                         FIXTURES_REQUIRED "matrix.${abi}.g++;matrix.${abi}.clang++" LABELS "atlas;${abi}")
  endif()
  set(abi_${abi}_RAN "${ran}")
endforeach()

# abi | measurement | regex | source: a test per fact and compiler.
file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/facts.txt" facts REGEX "^[^#]")
set(number 0)
foreach(fact IN LISTS facts)
  if(NOT fact MATCHES "^([a-z0-9]+) *\\| *([a-z_A-Z.]+) *\\| *([^|]*[^ |]) *\\| *(.*[^ ])$")
    message(FATAL_ERROR "tests/atlas/facts.txt: not abi | measurement | regex | source: ${fact}")
  endif()
  set(abi "${CMAKE_MATCH_1}")
  set(file "${CMAKE_MATCH_2}")
  set(regex "${CMAKE_MATCH_3}")
  set(source "${CMAKE_MATCH_4}")
  math(EXPR number "${number} + 1")
  if(file MATCHES "^(.*)[.]copies$")
    set(file "${CMAKE_MATCH_1}.txt.copies")
  else()
    string(APPEND file ".txt")
  endif()
  foreach(compiler IN LISTS abi_${abi}_RAN)
    set(test "atlas.${abi}.${compiler}.fact${number}")
    add_test(NAME "${test}" COMMAND "${CMAKE_COMMAND}" -E cat "${cells}/matrix.${abi}.${compiler}/atlas/${file}")
    set_tests_properties("${test}" PROPERTIES PASS_REGULAR_EXPRESSION "${regex}" LABELS "atlas;${abi}"
                         FIXTURES_REQUIRED "matrix.${abi}.${compiler}" ENVIRONMENT "ELLIPSIS_SOURCE=${source}")
  endforeach()
endforeach()

# The pictures and tables, each SVG rendered, and the checked-in atlas compared
# where it was measured on this release.
file(STRINGS /etc/os-release name REGEX "^PRETTY_NAME=")
string(REGEX REPLACE "^PRETTY_NAME=\"?([^\"]*)\"?$" "\\1" name "${name}")
ellipsis_version(gdb-multiarch gdb)
ellipsis_version(qemu-x86_64 qemu)
ellipsis_compiler(clang++ "" clang)
ellipsis_version("${clang_CXX}" clang)
ellipsis_compiler(g++ "" gxx)
ellipsis_version("${gxx_CXX}" gxx)
set(tools "g++ ${gxx_MAJOR}, clang++ ${clang_MAJOR}, qemu ${qemu_MAJOR}, gdb ${gdb_MAJOR}")
add_test(NAME atlas.draw COMMAND python3 "${CMAKE_CURRENT_LIST_DIR}/draw" "${cells}" "${drawn}" "${name}" "${tools}" ${abis})
set_tests_properties(atlas.draw PROPERTIES FIXTURES_REQUIRED "${measured}" FIXTURES_SETUP atlas LABELS atlas)
foreach(abi IN LISTS abis)
  if(NOT abi_${abi}_RAN)
    continue()  # no cell ran: the matrix's table says why
  endif()
  add_test(NAME "atlas.${abi}.renders" COMMAND rsvg-convert -o "${drawn}/${abi}.png" "${drawn}/atlas/${abi}.svg")
  set_tests_properties("atlas.${abi}.renders" PROPERTIES FIXTURES_REQUIRED atlas LABELS "atlas;${abi}")
endforeach()
file(STRINGS "${PROJECT_SOURCE_DIR}/docs/atlas.md" checked_in REGEX "^Measured on ")
if(checked_in STREQUAL "Measured on ${name} with ${tools}." AND NOT ELLIPSIS_MATRIX_ABIS)
  add_test(NAME atlas.checked-in COMMAND diff -u -r "${PROJECT_SOURCE_DIR}/docs/atlas" "${drawn}/atlas")
  add_test(NAME atlas.checked-in-tables COMMAND diff -u "${PROJECT_SOURCE_DIR}/docs/atlas.md" "${drawn}/atlas.md")
  set_tests_properties(atlas.checked-in atlas.checked-in-tables PROPERTIES FIXTURES_REQUIRED atlas LABELS atlas)
else()
  message(STATUS "The atlas: docs/atlas.md says '${checked_in}', so it is drawn, not compared")
endif()
