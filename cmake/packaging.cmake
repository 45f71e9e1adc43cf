# Installs the manual pages, the copyright file and the changelog beside the
# programs, and describes the .deb and .tar.gz that CPack makes of them.
# Debian's tools read the documents, so they are written in Debian's formats
# from LICENSE and CHANGELOG.md, and compressed the way Debian compresses.

# Installed directories are 0755 whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(ELLIPSIS_MAINTAINER "The ellipsis authors <ellipsis@example.org>")

find_program(GZIP gzip REQUIRED)
find_program(DATE date REQUIRED)
set(doc_dir "${PROJECT_BINARY_DIR}/doc")

set_property(
    DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    "${PROJECT_SOURCE_DIR}/LICENSE" "${PROJECT_SOURCE_DIR}/CHANGELOG.md"
)

# ---- copyright: LICENSE in Debian's machine-readable format ----

file(READ "${PROJECT_SOURCE_DIR}/LICENSE" license)
# The text after the copyright line, each line indented, blank lines as " .".
string(REGEX REPLACE "^.*Copyright \\(c\\) ([^\n]*)\n\n" "" terms "${license}")
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${license}")
set(holder "${CMAKE_MATCH_1}")
string(REGEX REPLACE "\n$" "" terms "${terms}")
string(REPLACE "\n\n" "\n.\n" terms "${terms}")
string(REPLACE "\n" "\n " terms "${terms}")
file(
    WRITE "${doc_dir}/copyright"
    "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
    "Upstream-Name: ${PROJECT_NAME}\n"
    "Upstream-Contact: ${ELLIPSIS_MAINTAINER}\n"
    "\n"
    "Files: *\n"
    "Copyright: ${holder}\n"
    "License: Expat\n"
    " ${terms}\n"
)

# ---- changelog: CHANGELOG.md's "## VERSION (YYYY-MM-DD)" entries, Debian's way ----

# Runs date(1) on a YYYY-MM-DD day, midnight UTC, with FORMAT.
function(ellipsis_date day format out)
  execute_process(
      COMMAND "${DATE}" -u -d "${day}" "${format}"
      OUTPUT_VARIABLE result OUTPUT_STRIP_TRAILING_WHITESPACE
      COMMAND_ERROR_IS_FATAL ANY
  )
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

file(STRINGS "${PROJECT_SOURCE_DIR}/CHANGELOG.md" lines)
set(changelog "")
set(trailer "")
set(newest_version "")
foreach(line IN LISTS lines)
  if(line MATCHES "^## ([^ ]+) \\(([0-9]+-[0-9]+-[0-9]+)\\)$")
    set(version "${CMAKE_MATCH_1}")
    set(day "${CMAKE_MATCH_2}")
    if(NOT newest_version)
      set(newest_version "${version}")
      ellipsis_date("${day}" +%s ELLIPSIS_RELEASE_EPOCH)
    endif()
    ellipsis_date("${day}" -R when)
    string(APPEND changelog "${trailer}${PROJECT_NAME} (${version}) unstable; urgency=medium\n\n")
    set(trailer "\n -- ${ELLIPSIS_MAINTAINER}  ${when}\n\n")
  elseif(trailer AND line MATCHES "^- (.*)")
    string(APPEND changelog "  * ${CMAKE_MATCH_1}\n")
  elseif(trailer AND line MATCHES "^  (.*)")
    string(APPEND changelog "    ${CMAKE_MATCH_1}\n")
  endif()
endforeach()
if(NOT newest_version STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR
      "CHANGELOG.md's newest entry is '${newest_version}', "
      "but the project is version ${PROJECT_VERSION}")
endif()
file(WRITE "${doc_dir}/changelog" "${changelog}${trailer}")

# ---- Compressed as Debian wants: best, and without a time stamp ----

set(compressed "")
set(man_pages "")
foreach(page IN LISTS ELLIPSIS_PROGRAMS)
  list(APPEND man_pages "${doc_dir}/${page}.1.gz")
  add_custom_command(
      OUTPUT "${doc_dir}/${page}.1.gz"
      COMMAND "${CMAKE_COMMAND}" -E copy "${PROJECT_SOURCE_DIR}/man/${page}.1" "${doc_dir}/${page}.1"
      COMMAND "${GZIP}" -9nf "${doc_dir}/${page}.1"
      DEPENDS "${PROJECT_SOURCE_DIR}/man/${page}.1"
      VERBATIM
  )
endforeach()
add_custom_command(
    OUTPUT "${doc_dir}/changelog.gz"
    COMMAND "${GZIP}" -9nkf "${doc_dir}/changelog"
    DEPENDS "${doc_dir}/changelog"
    VERBATIM
)
add_custom_target(docs ALL DEPENDS ${man_pages} "${doc_dir}/changelog.gz")

# ---- Install ----

include(GNUInstallDirs)
install(TARGETS ${ELLIPSIS_PROGRAMS} RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(FILES ${man_pages} DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${doc_dir}/copyright" "${doc_dir}/changelog.gz" DESTINATION "${CMAKE_INSTALL_DOCDIR}")

# ---- Packages ----

set(CPACK_PACKAGE_NAME "${PROJECT_NAME}")
set(CPACK_PACKAGE_VENDOR "The ellipsis authors")
set(CPACK_PACKAGE_CONTACT "${ELLIPSIS_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programs that walk and forward C variadic arguments")
set(CPACK_PACKAGE_DESCRIPTION [=[
Five small programs, each exercising one facility of C functions that take
a variable number of arguments: maxpick, floatrow and linewalk walk their
extra arguments one by one, counted or up to a null pointer; fmtwrite and
failnote hand the begun argument list to vfprintf and vsnprintf. Each has
exact, known output, so it can be run and compared.]=])
set(CPACK_PACKAGE_FILE_NAME "${PROJECT_NAME}-${PROJECT_VERSION}-${CMAKE_SYSTEM_PROCESSOR}")
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Read by cpack-project.cmake, which sets SOURCE_DATE_EPOCH at package time.
set(CPACK_ELLIPSIS_SOURCE_DIR "${PROJECT_SOURCE_DIR}")
set(CPACK_ELLIPSIS_RELEASE_EPOCH "${ELLIPSIS_RELEASE_EPOCH}")
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/cmake/cpack-project.cmake")
include(CPack)
