# The Windows Installer package of ITrakon.ocx and infotrakon.exe, made with wixl (Debian's
# msitools) from packaging/windows/InfoTrakon.wxs.in, whose identities come from the same file
# as the control's IDL and control/identity.h: InfoTrakon-VERSION.msi for 32-bit Windows from
# the x86 build, InfoTrakon-VERSION-x64.msi for 64-bit Windows from the x64 build, which also
# installs the x86 build's control (INFOTRAKON_X86_CONTROL) for 32-bit hosts.
find_program(INFOTRAKON_WIXL wixl NO_CMAKE_FIND_ROOT_PATH)
if(NOT INFOTRAKON_WIXL)
  message(STATUS "No wixl (Debian's package wixl): no Windows Installer package")
  return()
endif()
include(${PROJECT_SOURCE_DIR}/src/control/identity.cmake)
set(INFOTRAKON_PUBLISHER "InfoTrakon maintainers")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(INFOTRAKON_MSI_ARCH x64)
  set(INFOTRAKON_X86_CONTROL ${PROJECT_SOURCE_DIR}/build-windows/x86/bin/ITrakon.ocx CACHE FILEPATH
    "The 32-bit ITrakon.ocx that the package for 64-bit Windows installs beside the 64-bit one")
  if(NOT EXISTS ${INFOTRAKON_X86_CONTROL})
    message(STATUS "No 32-bit control at ${INFOTRAKON_X86_CONTROL}: no Windows Installer package "
      "(scripts/build-windows builds x86 first)")
    return()
  endif()
  # wixl takes only relative paths, from the folder it runs in.
  file(RELATIVE_PATH INFOTRAKON_X86_CONTROL_SOURCE ${INFOTRAKON_PROGRAM_DIR} ${INFOTRAKON_X86_CONTROL})
  set(package_name InfoTrakon-${PROJECT_VERSION}-x64)
  set(package_name_part "-${INFOTRAKON_MSI_ARCH}")
else()
  set(INFOTRAKON_MSI_ARCH x86)
  set(package_name InfoTrakon-${PROJECT_VERSION})
  set(package_name_part "")
endif()
# One product code per version and system: the same package built twice is the same product.
# Both systems' packages share the upgrade code, so that either replaces the other.
string(UUID INFOTRAKON_PRODUCT_CODE NAMESPACE ${INFOTRAKON_UPGRADE_CODE}
  NAME ${PROJECT_VERSION}${package_name_part} TYPE SHA1 UPPER)
set(INFOTRAKON_TYPE_LIBRARY_VERSION
  ${INFOTRAKON_TYPE_LIBRARY_MAJOR_VERSION}.${INFOTRAKON_TYPE_LIBRARY_MINOR_VERSION})
math(EXPR INFOTRAKON_MISC_STATUS_DECIMAL "${INFOTRAKON_MISC_STATUS}" OUTPUT_FORMAT DECIMAL)
# The locale's subkey as the type library's registration names it: in hexadecimal.
math(EXPR INFOTRAKON_TYPE_LIBRARY_LOCALE_KEY "${INFOTRAKON_TYPE_LIBRARY_LOCALE}"
  OUTPUT_FORMAT HEXADECIMAL)
string(REGEX REPLACE "^0x" "" INFOTRAKON_TYPE_LIBRARY_LOCALE_KEY
  ${INFOTRAKON_TYPE_LIBRARY_LOCALE_KEY})
set(INFOTRAKON_WXS ${PROJECT_BINARY_DIR}/packaging/InfoTrakon.wxs)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/InfoTrakon.wxs.in ${INFOTRAKON_WXS} @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/control.wxi.in
  ${PROJECT_BINARY_DIR}/packaging/control.wxi @ONLY)
set(INFOTRAKON_MSI ${PROJECT_BINARY_DIR}/${package_name}.msi)
set(INFOTRAKON_WIXL_ARGUMENTS --arch ${INFOTRAKON_MSI_ARCH} -D Arch=${INFOTRAKON_MSI_ARCH})
# wixl takes the files' names relative to the folder it runs in.
add_custom_command(OUTPUT ${INFOTRAKON_MSI}
  COMMAND ${INFOTRAKON_WIXL} ${INFOTRAKON_WIXL_ARGUMENTS} --output ${INFOTRAKON_MSI}
    ${INFOTRAKON_WXS}
  WORKING_DIRECTORY ${INFOTRAKON_PROGRAM_DIR}
  DEPENDS ${INFOTRAKON_WXS} ${PROJECT_BINARY_DIR}/packaging/control.wxi it_ocx infotrakon
    ${INFOTRAKON_X86_CONTROL}
  COMMENT "Building the Windows Installer package ${package_name}.msi" VERBATIM)
add_custom_target(it_msi ALL DEPENDS ${INFOTRAKON_MSI})
