# Delay-load import libraries for the Windows targets: a DLL linked through one is loaded at the
# first call of one of its functions rather than with the module that links it.

# Makes `target`, an import library for `dll` (such as odbc32) through which the DLL loads at
# its first call. Its functions are those of the toolchain's own import library whose names
# begin with `prefix`; data exports cannot be delay-loaded and are left out.
function(infotrakon_delay_import_library target dll prefix)
  execute_process(
    COMMAND ${CMAKE_C_COMPILER} -print-file-name=lib${dll}.a
    OUTPUT_VARIABLE import_library OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${CMAKE_NM} ${import_library} OUTPUT_VARIABLE symbols
                  COMMAND_ERROR_IS_FATAL ANY)
  # x86 decorates a stdcall name with a leading underscore and its arguments' size (@12).
  string(REGEX MATCHALL "__imp__?${prefix}[A-Za-z0-9_@]*" imports "${symbols}")
  if(NOT imports)
    message(FATAL_ERROR "${import_library} has no function whose name begins with ${prefix}")
  endif()
  list(TRANSFORM imports REPLACE "^__imp__?" "")
  list(REMOVE_DUPLICATES imports)
  list(JOIN imports "\n  " exports)
  set(definitions ${CMAKE_CURRENT_BINARY_DIR}/${dll}_delayed.def)
  file(WRITE ${definitions} "LIBRARY ${dll}.dll\nEXPORTS\n  ${exports}\n")

  set(library ${CMAKE_CURRENT_BINARY_DIR}/lib${dll}_delayed.a)
  string(REGEX REPLACE "dlltool$" "as" assembler ${CMAKE_DLLTOOL})
  # --kill-at: the DLL exports the names undecorated, as the system's import library says.
  add_custom_command(
    OUTPUT ${library}
    COMMAND ${CMAKE_DLLTOOL} --as=${assembler} --kill-at --input-def ${definitions}
            --output-delaylib ${library}
    DEPENDS ${definitions}
    COMMENT "Delay-load import library for ${dll}.dll")
  add_custom_target(${target}_library DEPENDS ${library})
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${library})
  add_dependencies(${target} ${target}_library)
endfunction()
