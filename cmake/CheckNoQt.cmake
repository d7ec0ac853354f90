# Fails when a source of the core includes a Qt header or links a Qt module.
file(GLOB_RECURSE sources ${DIR}/*.h ${DIR}/*.cpp ${DIR}/CMakeLists.txt)
foreach(f IN LISTS sources)
  file(STRINGS ${f} hits REGEX "#[ \t]*include[ \t]*[<\"]Q|Qt6::|find_package\\(Qt")
  if(hits)
    message(FATAL_ERROR "The core must not use Qt: ${f}: ${hits}")
  endif()
endforeach()
