# Cross-compiles for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64-win32).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VB_MINGW_PREFIX x86_64-w64-mingw32)
# The win32 thread model: the posix one links the threads library into every module, whose TLS
# callback installs a process-wide exception handler in the host. Nothing here starts a thread.
find_program(CMAKE_CXX_COMPILER NAMES ${VB_MINGW_PREFIX}-g++-win32 REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${VB_MINGW_PREFIX}-gcc-win32 REQUIRED)
# A build folder keeps the compilers of its first configuration in its cache, whatever this file
# asks for now: one made with a posix compiler would keep building modules that need its threads
# library. Each compiler says its thread model itself.
foreach(compiler IN ITEMS "${CMAKE_CXX_COMPILER}" "${CMAKE_C_COMPILER}")
  execute_process(COMMAND "${compiler}" -v ERROR_VARIABLE version_text OUTPUT_QUIET
    RESULT_VARIABLE failed)
  string(REGEX MATCH "Thread model: ([^\n]*)" thread_model "${version_text}")
  if(failed OR NOT CMAKE_MATCH_1 STREQUAL "win32")
    message(FATAL_ERROR "${CMAKE_BINARY_DIR} was configured with ${compiler}, whose "
      "thread model is not win32 (${thread_model}): its CMake cache dates from before the "
      "build switched to the win32 thread model. Delete the folder (rm -rf "
      "${CMAKE_BINARY_DIR}) and configure again.")
  endif()
endforeach()
find_program(CMAKE_RC_COMPILER NAMES ${VB_MINGW_PREFIX}-windres REQUIRED)
find_program(VB_MINGW_OBJDUMP NAMES ${VB_MINGW_PREFIX}-objdump REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${VB_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
