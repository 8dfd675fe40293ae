# What `cmake --install` lays out on Linux, and the Debian package that `cpack -G DEB` makes of it.
include(CMakePackageConfigHelpers)
# Qt's own folders (QT6_INSTALL_PLUGINS) for the Designer plugin.
find_package(Qt6 REQUIRED COMPONENTS Core)
set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/InfoTrakon)

# The libraries, their headers, the CMake package and the pkg-config file.
install(TARGETS infotrakon_library infotrakon_widgets EXPORT InfoTrakonTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development)
install(FILES ${PROJECT_SOURCE_DIR}/src/control/infotrakon_c.h RENAME infotrakon.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/infotrakon COMPONENT development)
install(FILES ${PROJECT_BINARY_DIR}/generated/infotrakon_version.h
  ${PROJECT_SOURCE_DIR}/src/gui/widget/InfoTrakonWidget.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/infotrakon COMPONENT development)
install(EXPORT InfoTrakonTargets NAMESPACE InfoTrakon:: DESTINATION ${config_dir}
  COMPONENT development)
configure_package_config_file(${PROJECT_SOURCE_DIR}/packaging/InfoTrakonConfig.cmake.in
  ${PROJECT_BINARY_DIR}/packaging/InfoTrakonConfig.cmake INSTALL_DESTINATION ${config_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/packaging/InfoTrakonConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/packaging/InfoTrakonConfig.cmake
  ${PROJECT_BINARY_DIR}/packaging/InfoTrakonConfigVersion.cmake DESTINATION ${config_dir}
  COMPONENT development)
configure_file(${PROJECT_SOURCE_DIR}/packaging/infotrakon.pc.in
  ${PROJECT_BINARY_DIR}/packaging/infotrakon.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/infotrakon.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)
if(TARGET infotrakon_designer)
  install(TARGETS infotrakon_designer LIBRARY DESTINATION ${QT6_INSTALL_PLUGINS}/designer
    COMPONENT development)
endif()

# The programs: mkagenda where infotrakon demo looks for it.
install(TARGETS infotrakon RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
install(TARGETS mkagenda RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/infotrakon
  COMPONENT runtime)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/infotrakon.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT runtime)
install(FILES ${PROJECT_BINARY_DIR}/share/infotrakon.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/16x16/apps COMPONENT runtime)

# Manual pages from the programs' own --help and --version.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(pages)
  foreach(program infotrakon mkagenda)
    set(page ${PROJECT_BINARY_DIR}/share/${program}.1)
    if(program STREQUAL "infotrakon")
      set(summary "the information panel of a fleet and staff management program")
    else()
      set(summary "writes agenda databases for the information panel")
    endif()
    add_custom_command(OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/share
      COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
        ${HELP2MAN} --no-info --no-discard-stderr --output=${page} --name=${summary}
        $<TARGET_FILE:${program}>
      DEPENDS ${program} COMMENT "Writing the manual page of ${program}" VERBATIM)
    list(APPEND pages ${page})
  endforeach()
  add_custom_target(infotrakon_manuals ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT runtime)
endif()

# cpack -G DEB: one package with the programs, the libraries and what building against them
# needs.
set(CPACK_PACKAGE_NAME infotrakon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "InfoTrakon maintainers <infotrakon@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Information panel of a fleet and staff management program")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "The costs of the vehicles and the staff this year, the planned repairs and the deadlines\n of the agenda database the host program opened last, read-only; as a Qt program, a Qt\n widget with a Designer plugin, and a C library.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "odbc-postgresql")
set(CPACK_GENERATOR DEB)
include(CPack)
