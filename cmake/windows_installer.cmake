# The Windows Installer package InfoTrakon-VERSION.msi of ITrakon.ocx and infotrakon.exe, made
# with wixl (Debian's msitools) from packaging/windows/InfoTrakon.wxs.in, whose identities come
# from the same file as the control's IDL and control/identity.h.
find_program(INFOTRAKON_WIXL wixl NO_CMAKE_FIND_ROOT_PATH)
if(NOT INFOTRAKON_WIXL)
  message(STATUS "No wixl (Debian's package wixl): no Windows Installer package")
  return()
endif()
include(${PROJECT_SOURCE_DIR}/src/control/identity.cmake)
set(INFOTRAKON_PUBLISHER "InfoTrakon maintainers")
# One product code per version: the same version built twice is the same product.
string(UUID INFOTRAKON_PRODUCT_CODE NAMESPACE ${INFOTRAKON_UPGRADE_CODE} NAME ${PROJECT_VERSION}
  TYPE SHA1 UPPER)
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
set(INFOTRAKON_MSI ${PROJECT_BINARY_DIR}/InfoTrakon-${PROJECT_VERSION}.msi)
# wixl takes the files' names relative to the folder it runs in.
add_custom_command(OUTPUT ${INFOTRAKON_MSI}
  COMMAND ${INFOTRAKON_WIXL} --arch x86 --output ${INFOTRAKON_MSI} ${INFOTRAKON_WXS}
  WORKING_DIRECTORY ${INFOTRAKON_PROGRAM_DIR}
  DEPENDS ${INFOTRAKON_WXS} it_ocx infotrakon
  COMMENT "Building the Windows Installer package InfoTrakon-${PROJECT_VERSION}.msi" VERBATIM)
add_custom_target(it_msi ALL DEPENDS ${INFOTRAKON_MSI})
