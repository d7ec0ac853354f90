# Fails when a source of a layer includes a project header from a folder the
# layer may not use (a layer uses only the folders below it), or, with
# NO_QT set, when it includes a Qt header or links a Qt module.
#   -DDIR=<the layer's folder> -DALLOWED=<folders under src/ it may include, ;-separated>
cmake_policy(SET CMP0057 NEW)
file(GLOB_RECURSE sources ${DIR}/*.h ${DIR}/*.cpp ${DIR}/CMakeLists.txt)
get_filename_component(layer ${DIR} NAME)
foreach(f IN LISTS sources)
  if(NO_QT)
    file(STRINGS ${f} hits REGEX "#[ \t]*include[ \t]*[<\"]Q|Qt6::|find_package\\(Qt")
    if(hits)
      message(FATAL_ERROR "${layer} must not use Qt: ${f}: ${hits}")
    endif()
  endif()
  file(STRINGS ${f} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z]+/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^\"]*\"([a-z]+)/.*$" "\\1" folder "${line}")
    if(NOT folder STREQUAL layer AND NOT folder IN_LIST ALLOWED)
      message(FATAL_ERROR "${layer} may not include from ${folder}/: ${f}: ${line}")
    endif()
  endforeach()
endforeach()
