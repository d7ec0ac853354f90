# corvane_host_headers(TARGET FOLDER...): an interface target for header-only
# Debian packages in a cross build (emscripten), whose toolchain searches its
# own sysroot only. Each FOLDER of /usr/include is reached through a link in a
# build-tree folder of its own, since adding /usr/include itself would bring
# the host's C library headers in front of the target's.
function(corvane_host_headers target)
  string(MAKE_C_IDENTIFIER ${target} name) # no "::" in a path make reads
  set(dir ${PROJECT_BINARY_DIR}/host-include/${name})
  file(MAKE_DIRECTORY ${dir})
  foreach(folder IN LISTS ARGN)
    if(NOT EXISTS /usr/include/${folder})
      message(FATAL_ERROR "/usr/include/${folder} is missing: run scripts/install-deps")
    endif()
    file(CREATE_LINK /usr/include/${folder} ${dir}/${folder} SYMBOLIC)
  endforeach()
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  target_include_directories(${target} SYSTEM INTERFACE ${dir})
endfunction()
