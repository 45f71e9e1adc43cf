# ellipsis_program(NAME SOURCE) builds one of the programs: SOURCE compiled
# once into the object library NAME_object, which the executable NAME links.

function(ellipsis_program name source)
  add_library(${name}_object OBJECT "${source}")
  target_compile_features(${name}_object PUBLIC cxx_std_17)
  target_link_libraries(${name}_object PUBLIC ellipsis_hardening)
  # Nothing here throws; without exceptions clang adds no terminate handler
  # around the C library's noexcept wrappers, which would need libstdc++.
  target_compile_options(${name}_object PRIVATE -fno-exceptions)
  set_target_properties(${name}_object PROPERTIES POSITION_INDEPENDENT_CODE ON)

  add_executable(${name})
  target_link_libraries(${name} PRIVATE ${name}_object)
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  # The programs use nothing of the C++ runtime: dropping the unused
  # libstdc++, libm and libgcc_s leaves libc.so.6 as the only dependency.
  target_link_options(${name} PRIVATE LINKER:--as-needed)
endfunction()
