# What `cmake --install` lays out on Linux, and the Debian package that `cpack -G DEB` makes of it.
include(CMakePackageConfigHelpers)
# Qt's own folders (QT6_INSTALL_PLUGINS) for the Designer plugin.
find_package(Qt6 REQUIRED COMPONENTS Core)
set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/InfoTrakon)

# The libraries, their headers, the CMake package and the pkg-config file.
# Shared libraries are read, never run: no execute bits.
set(library_permissions OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(TARGETS it_c_library it_widgets EXPORT InfoTrakonTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} PERMISSIONS ${library_permissions}
  COMPONENT runtime NAMELINK_COMPONENT development)
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
# pkg-config finds the prefix from the .pc file's folder: as many steps up as
# LIBDIR/pkgconfig has parts, two for lib/pkgconfig, three for Debian's
# lib/x86_64-linux-gnu/pkgconfig. Folders given as absolute paths are written as they are.
cmake_path(SET pc_folder NORMALIZE "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(INFOTRAKON_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
  set(INFOTRAKON_PC_LIBDIR "${CMAKE_INSTALL_LIBDIR}")
else()
  string(REGEX REPLACE "[^/]+" ".." pc_to_prefix "${pc_folder}")
  set(INFOTRAKON_PC_PREFIX "\${pcfiledir}/${pc_to_prefix}")
  set(INFOTRAKON_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
endif()
if(IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
  set(INFOTRAKON_PC_INCLUDEDIR "${CMAKE_INSTALL_INCLUDEDIR}")
else()
  set(INFOTRAKON_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
configure_file(${PROJECT_SOURCE_DIR}/packaging/infotrakon.pc.in
  ${PROJECT_BINARY_DIR}/packaging/infotrakon.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/infotrakon.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)
if(TARGET it_designer)
  install(TARGETS it_designer LIBRARY DESTINATION ${QT6_INSTALL_PLUGINS}/designer
    PERMISSIONS ${library_permissions} COMPONENT development)
endif()

# The programs: mkagenda where infotrakon demo looks for it.
install(TARGETS infotrakon RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
install(TARGETS mkagenda RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/infotrakon
  COMPONENT runtime)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/infotrakon.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT runtime)
install(FILES ${PROJECT_BINARY_DIR}/share/infotrakon.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/16x16/apps COMPONENT runtime)

# The copyright file and the changelog, where Debian keeps them; the changelog's newest entry
# must be of this version.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^infotrakon \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog: the first line names another version than "
    "${PROJECT_VERSION}: ${changelog_top}")
endif()
set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/infotrakon)
find_program(GZIP gzip REQUIRED)
# -n: no name and time of the file in the compressed one, so that a build gives the same bytes.
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/share/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/share
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/debian/changelog
    ${PROJECT_BINARY_DIR}/share/changelog
  COMMAND ${GZIP} -9nf ${PROJECT_BINARY_DIR}/share/changelog
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog
  COMMENT "Compressing the changelog" VERBATIM)
add_custom_target(it_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/share/changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
  ${PROJECT_BINARY_DIR}/share/changelog.gz DESTINATION ${doc_dir} COMPONENT runtime)
# The tags of Debian's checker that the package accepts, with the reasons.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME infotrakon COMPONENT runtime)

# Manual pages from the programs' own --help and --version, compressed as Debian keeps them.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(pages)
  foreach(program infotrakon mkagenda)
    set(page ${PROJECT_BINARY_DIR}/share/${program}.1)
    set(compressed ${page}.gz)
    if(program STREQUAL "infotrakon")
      set(summary "the information panel of a fleet and staff management program")
      # Every command with its options, not only the list of commands.
      set(help_option --help-all)
    else()
      set(summary "writes agenda databases for the information panel")
      set(help_option --help)
    endif()
    # In UTF-8: the options name the panel's Czech captions.
    add_custom_command(OUTPUT ${compressed}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/share
      COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
        ${HELP2MAN} --no-info --no-discard-stderr --help-option=${help_option} --locale=C.UTF-8
        --output=${page} --name=${summary}
        $<TARGET_FILE:${program}>
      COMMAND ${GZIP} -9nf ${page}
      DEPENDS ${program} COMMENT "Writing the manual page of ${program}" VERBATIM)
    list(APPEND pages ${compressed})
  endforeach()
  add_custom_target(it_manuals ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT runtime)
endif()

# cpack -G DEB: one package with the programs, the libraries and what building against them
# needs.
set(CPACK_PACKAGE_NAME infotrakon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "InfoTrakon maintainers <maintainers@infotrakon.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Information panel of a fleet and staff management program")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "The costs of the vehicles and the staff this year, the planned repairs and\n the deadlines of the agenda database the host program opened last, read-only;\n as a Qt program, a Qt widget with a Designer plugin, and a C library.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The shlibs file of the two libraries, for the packages built against them.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# ldconfig by dpkg's trigger: maintainer scripts of our own keep cpack from writing ones that
# call it.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/debian/triggers
  ${PROJECT_SOURCE_DIR}/packaging/debian/postinst ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
# Programs and libraries without their debugging sections, as Debian installs them.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "odbc-postgresql")
set(CPACK_GENERATOR DEB)
include(CPack)
