# The header-only libraries the build machine has (nlohmann-json, CLI11), for a cross build:
# their own package files would put the build machine's /usr/include on the target's include
# path, so only their own folders are made visible, through links.
set(header_only_root ${PROJECT_BINARY_DIR}/header-only)
file(MAKE_DIRECTORY ${header_only_root})
foreach(folder nlohmann CLI)
  if(NOT EXISTS /usr/include/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing: scripts/install-deps installs it")
  endif()
  file(CREATE_LINK /usr/include/${folder} ${header_only_root}/${folder} SYMBOLIC)
endforeach()
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json INTERFACE ${header_only_root})
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 INTERFACE ${header_only_root})
set(nlohmann_json_FOUND TRUE)
set(CLI11_FOUND TRUE)
