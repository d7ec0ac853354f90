# What `make install` and the Debian package (`make package`, CPack's DEB
# generator) carry besides the programs: man pages, AppStream metainfo, the
# examples, the copyright and changelog files, and the MIME type of programs
# (text/x-corvane, *.cv). The programs, the desktop entry and the icons are
# installed by their own folders.

# Bumped together with the project version; reaches the metainfo's release and
# the Debian changelog.
set(CORVANE_RELEASE_DATE 2026-12-08)
set(CORVANE_DOCDIR share/doc/corvane)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Corvane developers")
set(CPACK_PACKAGE_CONTACT "The Corvane developers <dev@corvane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "teaching environment for a small stack machine")

find_program(CORVANE_GZIP gzip REQUIRED)
set(packaged_files_dir ${PROJECT_BINARY_DIR}/packaged)

# corvane_packaged_gzip(SOURCE NAME DESTINATION): SOURCE with @VERSION@ and
# the like filled in, compressed as Debian wants it (-9, no name or time
# stamp, so that two builds give the same bytes), installed as NAME.gz.
function(corvane_packaged_gzip source name destination)
  set(VERSION ${PROJECT_VERSION})
  configure_file(${source} ${packaged_files_dir}/${name} @ONLY)
  add_custom_command(OUTPUT ${packaged_files_dir}/${name}.gz
    COMMAND ${CORVANE_GZIP} -9 -n -c ${name} > ${name}.gz
    DEPENDS ${packaged_files_dir}/${name}
    WORKING_DIRECTORY ${packaged_files_dir} VERBATIM)
  string(MAKE_C_IDENTIFIER "packaged_${name}" target)
  add_custom_target(${target} ALL DEPENDS ${packaged_files_dir}/${name}.gz)
  install(FILES ${packaged_files_dir}/${name}.gz DESTINATION ${destination})
endfunction()

corvane_packaged_gzip(${PROJECT_SOURCE_DIR}/docs/man/corvane-run.1 corvane-run.1 share/man/man1)

if(CORVANE_GUI)
  corvane_packaged_gzip(${PROJECT_SOURCE_DIR}/docs/man/corvane.1 corvane.1 share/man/man1)
  set(CORVANE_METAINFO ${packaged_files_dir}/corvane.metainfo.xml)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/corvane.metainfo.xml.in ${CORVANE_METAINFO} @ONLY)
  install(FILES ${CORVANE_METAINFO} DESTINATION share/metainfo)
  # Debian's shared-mime-info rebuilds its database from share/mime/packages
  # on install and removal (a dpkg trigger): the package needs no scripts.
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/corvane-mime.xml
    DESTINATION share/mime/packages RENAME corvane.xml)
endif()

# The Debian changelog's date line, in the form its parser wants.
execute_process(COMMAND date -u -R -d ${CORVANE_RELEASE_DATE}
  OUTPUT_VARIABLE CORVANE_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
corvane_packaged_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog.in changelog ${CORVANE_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${CORVANE_DOCDIR})

# The suite format and the grading recipes, for corvane-run --suite.
foreach(doc suite-format.md grading.md)
  if(EXISTS ${PROJECT_SOURCE_DIR}/docs/${doc})
    install(FILES ${PROJECT_SOURCE_DIR}/docs/${doc} DESTINATION ${CORVANE_DOCDIR})
  endif()
endforeach()

file(GLOB corvane_examples CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/examples/*.cv ${PROJECT_SOURCE_DIR}/examples/*.cvtest)
install(FILES ${corvane_examples} DESTINATION ${CORVANE_DOCDIR}/examples)

# The Debian package. Its dependencies come from dpkg-shlibdeps alone: the
# platform plugins corvane loads at run time (xcb, offscreen) ship in Debian's
# libqt6gui6, which it links.
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION
  "Corvane is a small desktop teaching environment for a toy stack machine
with one 32-bit working register and any number of named stacks. Students
write programs in a line-oriented language in its editor and run them:
freely, step by step with a break window that shows the register, the next
input value and the top of every stack, or up to the caret's line.
.
corvane-run runs the same programs without a window, for teachers who
grade them with a script.")
include(CPack)
