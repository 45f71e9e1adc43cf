# Read by cpack before each package it makes. Time stamps in the packages come
# from SOURCE_DATE_EPOCH: the environment's, else the last commit's date, else
# the newest release's, so that one commit always makes the same bytes.

if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(
      COMMAND git -C "${CPACK_ELLIPSIS_SOURCE_DIR}" log -1 --format=%ct
      OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE status
      ERROR_QUIET
  )
  if(NOT status EQUAL 0 OR NOT epoch)
    set(epoch "${CPACK_ELLIPSIS_RELEASE_EPOCH}")
  endif()
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
