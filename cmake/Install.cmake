# `cmake --install` and the Debian package: the programs, the help page, a man page written from
# --help, and bash completion.
include(GNUInstallDirs)

install(TARGETS marquill RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET marquill-studio)
  install(TARGETS marquill-studio RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES help/index.htm DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/marquill)
install(FILES scripts/marquill-completion.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME marquill)

set(man_page "${PROJECT_BINARY_DIR}/marquill.1")
add_custom_command(
  OUTPUT "${man_page}"
  COMMAND "${CMAKE_COMMAND}" "-DMARQUILL=$<TARGET_FILE:marquill>" "-DVERSION=${PROJECT_VERSION}"
          "-DOUTPUT=${man_page}" -P "${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake"
  DEPENDS marquill "${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake"
  COMMENT "Writing the man page from marquill --help"
  VERBATIM)
add_custom_target(marquill_man_page ALL DEPENDS "${man_page}")
install(FILES "${man_page}" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marquill)
set(CPACK_PACKAGE_VENDOR Talvenor)
set(CPACK_PACKAGE_CONTACT "Marquill maintainers <marquill@talvenor.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tools for Visual Basic 6 source code")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
