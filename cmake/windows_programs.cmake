# Support for Windows programs built next to the plug-in (the Windows build of the stand-in
# host and the test programs): header-only nlohmann-json taken from the build machine, and the
# command that runs a Windows program under Wine.
#
# A Windows host program that the plug-in must find is an executable whose file name is
# FINALE.EXE (the plug-in looks the host up by module name) and that exports its FX_ functions
# by name (a module definition file, or -Wl,--export-all-symbols). Link it with -static, since
# the Wine prefix has no MinGW runtime DLLs, and with vb_box_hook to answer message boxes. Its
# tests run as ${VB_WINE_RUN} --display <program> <args> with FIXTURES_REQUIRED wine; Unix
# paths given as arguments reach Windows code as Z:\<path with backslashes>.

# Only the json headers are exposed: the build machine's /usr/include as a whole would shadow
# the MinGW C library headers.
find_path(VB_HOST_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
          NO_DEFAULT_PATH)
if(VB_HOST_JSON_INCLUDE)
  set(VB_CROSS_INCLUDE ${CMAKE_BINARY_DIR}/cross-include)
  file(MAKE_DIRECTORY ${VB_CROSS_INCLUDE})
  file(CREATE_LINK ${VB_HOST_JSON_INCLUDE}/nlohmann ${VB_CROSS_INCLUDE}/nlohmann SYMBOLIC)
  # Answers find_package(nlohmann_json) with the same target name the Debian package defines.
  set(VB_CROSS_PACKAGES ${CMAKE_BINARY_DIR}/cross-packages)
  file(WRITE ${VB_CROSS_PACKAGES}/nlohmann_json/nlohmann_jsonConfig.cmake
    "if(NOT TARGET nlohmann_json::nlohmann_json)\n"
    "  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)\n"
    "  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES\n"
    "    INTERFACE_INCLUDE_DIRECTORIES \"${VB_CROSS_INCLUDE}\")\n"
    "endif()\n")
  # The version macros moved from json.hpp into a detail header in newer releases.
  set(json_version_lines "")
  foreach(header json.hpp detail/abi_macros.hpp)
    if(EXISTS ${VB_HOST_JSON_INCLUDE}/nlohmann/${header})
      file(STRINGS ${VB_HOST_JSON_INCLUDE}/nlohmann/${header} lines
           REGEX "^#define NLOHMANN_JSON_VERSION_(MAJOR|MINOR|PATCH) +[0-9]+")
      list(APPEND json_version_lines ${lines})
    endif()
  endforeach()
  set(json_version "")
  foreach(part MAJOR MINOR PATCH)
    string(REGEX MATCH "NLOHMANN_JSON_VERSION_${part} +([0-9]+)" match "${json_version_lines}")
    list(APPEND json_version ${CMAKE_MATCH_1})
  endforeach()
  list(JOIN json_version "." json_version)
  include(CMakePackageConfigHelpers)
  write_basic_package_version_file(
    ${VB_CROSS_PACKAGES}/nlohmann_json/nlohmann_jsonConfigVersion.cmake
    VERSION ${json_version} COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
  set(nlohmann_json_DIR ${VB_CROSS_PACKAGES}/nlohmann_json CACHE PATH
      "nlohmann-json for the Windows build: the build machine's headers" FORCE)
endif()

# Answers the message boxes of a Windows program: the test programs' and the host program's.
add_library(vb_box_hook STATIC ${PROJECT_SOURCE_DIR}/tests/windows/box_hook.cpp)
target_include_directories(vb_box_hook PUBLIC ${PROJECT_SOURCE_DIR}/tests/windows)
target_compile_options(vb_box_hook PRIVATE ${VB_WARNINGS})

# Runs a Windows program in the build folder's own Wine prefix; --display gives it an X server.
# Tests that use it need the fixture "wine", which makes the prefix (tests/windows).
set(VB_WINE_RUN ${PROJECT_SOURCE_DIR}/tools/wine-run --prefix ${CMAKE_BINARY_DIR}/wineprefix)
