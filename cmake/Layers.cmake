# corvane_layer(TARGET DIR [NO_QT] [ALLOWED folders...]): before TARGET builds,
# checks that the sources in DIR include project headers only from DIR and the
# ALLOWED folders of src/ (the layers below), so that an include that goes up
# a layer, and so any include loop between layers, fails the build. NO_QT also
# refuses Qt. The check runs again whenever a file of DIR changes.
function(corvane_layer target dir)
  cmake_parse_arguments(arg "NO_QT" "" "ALLOWED" ${ARGN})
  file(GLOB_RECURSE files CONFIGURE_DEPENDS ${dir}/*.h ${dir}/*.cpp ${dir}/CMakeLists.txt)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.layer-checked)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DDIR=${dir} "-DALLOWED=${arg_ALLOWED}" -DNO_QT=${arg_NO_QT}
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayer.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${files} ${PROJECT_SOURCE_DIR}/cmake/CheckLayer.cmake
    VERBATIM)
  add_custom_target(${target}_layer DEPENDS ${stamp})
  add_dependencies(${target} ${target}_layer)
endfunction()
