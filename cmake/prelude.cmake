# ---- In-source build guard ----

if(CMAKE_SOURCE_DIR STREQUAL CMAKE_BINARY_DIR)
  message(
      FATAL_ERROR
      "In-source builds are not supported. "
      "Use a preset, e.g. 'cmake --workflow --preset test', "
      "or choose a build directory: 'cmake -B build'. "
      "Remove CMakeCache.txt and CMakeFiles/ from the source tree first."
  )
endif()
