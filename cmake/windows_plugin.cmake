# Windows-only settings of the plug-in DLL: exports by module definition, the resource script,
# and a runtime linked in whole so that the DLL needs nothing beyond the system's own DLLs.
enable_language(RC)

configure_file(${PROJECT_SOURCE_DIR}/resources/version.h.in
               ${CMAKE_BINARY_DIR}/generated/vb_version.h @ONLY)

target_sources(vorlanbrisane PRIVATE
  ${PROJECT_SOURCE_DIR}/shell/exports.def
  ${PROJECT_SOURCE_DIR}/resources/vorlanbrisane.rc)
# windres also searches the include directories for the files the script names (the manifest).
set_source_files_properties(${PROJECT_SOURCE_DIR}/resources/vorlanbrisane.rc PROPERTIES
  OBJECT_DEPENDS "${VB_STRING_TABLE_FILES};${CMAKE_BINARY_DIR}/generated/vb_string_tables.rc;${PROJECT_SOURCE_DIR}/resources/vorlanbrisane.manifest;${CMAKE_BINARY_DIR}/generated/vb_version.h")
target_include_directories(vorlanbrisane PRIVATE
  ${PROJECT_SOURCE_DIR}/resources ${CMAKE_BINARY_DIR}/generated)

target_link_options(vorlanbrisane PRIVATE
  -static -static-libgcc -static-libstdc++
  # Only the module definition decides what is exported.
  -Wl,--exclude-all-symbols
  -Wl,--no-undefined
  -Wl,--subsystem,windows
  # The shipped DLL carries no symbols; a Debug build keeps them for winedbg.
  $<$<NOT:$<CONFIG:Debug>>:-s>)
set_property(TARGET vorlanbrisane APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/shell/exports.def)

# The same sources give the same DLL, byte for byte, wherever and whenever they are built: no
# link time stamp (the PE checksum then follows from the contents alone), and source paths
# recorded relative to the source folder.
foreach(target vb_core vorlanbrisane)
  target_compile_options(${target} PRIVATE -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=)
endforeach()
target_link_options(vorlanbrisane PRIVATE -Wl,--no-insert-timestamp)

include(${CMAKE_CURRENT_LIST_DIR}/windows_programs.cmake)
