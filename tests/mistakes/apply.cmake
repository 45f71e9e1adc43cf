# Makes TREE a scratch copy of the project in SOURCE, with mistakes/MISTAKE.patch
# applied to it, for the mistake's cells and gates; clears its results in
# RESULTS. Fails where the patch no longer applies exactly (no fuzz, no
# offset guessed into another function): the mistake must be made again.

cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${TREE}" "${RESULTS}/${MISTAKE}")
file(MAKE_DIRECTORY "${TREE}" "${RESULTS}/${MISTAKE}")
# Everything but builds and the repository: the presets, the tools and the
# tests come along, so that each gate runs as it runs on the project.
file(GLOB entries LIST_DIRECTORIES true "${SOURCE}/*" "${SOURCE}/.clang-*")
list(FILTER entries EXCLUDE REGEX "/(build|\\.git)$")
file(COPY ${entries} DESTINATION "${TREE}")

set(patch "${SOURCE}/mistakes/${MISTAKE}.patch")
execute_process(
    COMMAND patch -p1 --forward --fuzz=0 --batch --no-backup-if-mismatch -i "${patch}"
    WORKING_DIRECTORY "${TREE}"
    RESULT_VARIABLE status
)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "mistakes/${MISTAKE}.patch no longer applies to the sources: "
                      "make the mistake again on them and write its patch anew")
endif()
