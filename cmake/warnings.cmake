# The warnings (and with INFOTRAKON_FUZZ the sanitizers) of our own code: every target of this
# source tree links it_warnings PRIVATE, so that the flags reach neither GoogleTest, built from
# its own sources in the cross build, nor the hosts that build against the installed libraries.
add_library(it_warnings INTERFACE)
target_compile_options(it_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
  $<$<BOOL:${INFOTRAKON_WERROR}>:-Werror>)
# A pointer kept in an integer of another width works on x86 and breaks on x64: never allowed.
target_compile_options(it_warnings INTERFACE -Werror=int-to-pointer-cast
  $<$<COMPILE_LANGUAGE:C>:-Werror=pointer-to-int-cast>)
if(WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # GCC 12 takes std::string's own copies for overlapping ones in 32-bit builds (its bug
  # 105329), and std::string members of aggregates for uninitialised (its bug 107138).
  target_compile_options(it_warnings INTERFACE -Wno-restrict -Wno-maybe-uninitialized)
endif()
if(INFOTRAKON_FUZZ)
  target_compile_options(it_warnings INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined)
  target_link_options(it_warnings INTERFACE -fsanitize=address,undefined)
endif()

# Links it_warnings to the targets that `directory` and the folders below it define, skipping
# folders outside this source tree (GoogleTest's).
function(infotrakon_link_warnings directory)
  cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${directory}" NORMALIZE ours)
  if(NOT ours)
    return()
  endif()
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|EXECUTABLE)$")
      target_link_libraries(${target} PRIVATE it_warnings)
    endif()
  endforeach()
  get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    infotrakon_link_warnings(${subdirectory})
  endforeach()
endfunction()
