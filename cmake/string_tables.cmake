# The plug-in's string tables: resources/strings.def, the English reference, and a translation
# resources/strings.CODE.def for every other language of resources/languages.txt. Read when the
# build is configured, and again whenever one of these files changes, so that a table that breaks
# a rule below fails the build with the file, the line and the rule:
#   - every line is a comment or an entry VB_STRING(IDS_NAME, id, "text"), the text a C string
#     literal whose only escape is \n (what both the C++ compiler and windres read alike);
#   - a translation holds exactly the reference's entries, under the same names and ids, but the
#     never-translated ones below, and breaks its lines where the reference breaks them;
#   - French sets a no-break space before ? ! : ; and inside « »; Japanese uses full-width
#     punctuation and no spaces.
# Writes, in ${CMAKE_BINARY_DIR}/generated:
#   vb_string_tables.h   every table as C++ arrays (the Linux module, the tests, the host program)
#   vb_string_tables.rc  one STRINGTABLE per language (the Windows resource script includes it)

# Never translated: the product name and the menu entry stay as they are, and the split markers
# are data written into scores, read from the English table in every language. A lookup of the
# first two in another language falls back to English like that of any entry a table lacks.
set(VB_UNTRANSLATED_STRINGS IDS_TITLE IDS_SHORT_NAME IDS_PREFIX_FULL IDS_PREFIX_ABBREVIATED)

set(vb_resources ${PROJECT_SOURCE_DIR}/resources)
set(vb_generated ${CMAKE_BINARY_DIR}/generated)

# Characters the rules name, spelled out (the file itself stays ASCII).
string(JSON vb_nbsp GET [=[{"c":"\u00a0"}]=] c)
string(JSON vb_guillemets GET [=[{"c":"\u00ab\u00bb"}]=] c)

function(vb_strings_fail file line)
  string(JOIN "" message ${ARGN})
  message(FATAL_ERROR "${file}:${line}: ${message}")
endfunction()

# The layout of a text's lines: one character per line, "x" for text and "_" for an empty one.
function(vb_line_pattern text out)
  set(pattern "")
  while(TRUE)
    string(FIND "${text}" "\\n" at)
    if(at EQUAL -1)
      break()
    endif()
    if(at EQUAL 0)
      string(APPEND pattern "_")
    else()
      string(APPEND pattern "x")
    endif()
    math(EXPR at "${at} + 2")
    string(SUBSTRING "${text}" ${at} -1 text)
  endwhile()
  if(text STREQUAL "")
    string(APPEND pattern "_")
  else()
    string(APPEND pattern "x")
  endif()
  set(${out} "${pattern}" PARENT_SCOPE)
endfunction()

# The punctuation rules of a language, on the text as written in the file.
function(vb_check_punctuation code file line text)
  if(code STREQUAL "fr")
    set(rest "${text}")
    foreach(mark "?" "!" ":" ";")
      string(REPLACE "${vb_nbsp}${mark}" "" rest "${rest}")
    endforeach()
    string(SUBSTRING "${vb_guillemets}" 0 1 open)
    string(SUBSTRING "${vb_guillemets}" 1 1 close)
    string(REPLACE "${open}${vb_nbsp}" "" rest "${rest}")
    string(REPLACE "${vb_nbsp}${close}" "" rest "${rest}")
    if(rest MATCHES "[?!:;]" OR rest MATCHES "${open}|${close}")
      vb_strings_fail(${file} ${line} "French sets a no-break space (U+00A0) before ? ! : and "
                      "the semicolon, and inside the guillemets")
    endif()
  elseif(code STREQUAL "ja")
    string(REPLACE "\\n" "" rest "${text}")
    if(rest MATCHES "[ ?!:;,.()]")
      vb_strings_fail(${file} ${line} "Japanese uses full-width punctuation and no spaces")
    endif()
  endif()
endfunction()

# Reads one table: sets <prefix>_ids (in file order) and, per entry, <prefix>_name_<id>,
# <prefix>_text_<id> and <prefix>_line_<id> in the caller's scope.
function(vb_read_table path prefix code)
  file(READ "${path}" content)
  file(RELATIVE_PATH file ${PROJECT_SOURCE_DIR} "${path}")
  set(ids "")
  set(names "")
  set(line 0)
  # Line by line without CMake lists, which would split a text at its semicolons.
  while(NOT content STREQUAL "")
    math(EXPR line "${line} + 1")
    string(FIND "${content}" "\n" end)
    if(end EQUAL -1)
      set(text_line "${content}")
      set(content "")
    else()
      string(SUBSTRING "${content}" 0 ${end} text_line)
      math(EXPR end "${end} + 1")
      string(SUBSTRING "${content}" ${end} -1 content)
    endif()
    if(text_line MATCHES "^[ \t]*$" OR text_line MATCHES "^[ \t]*(/\\*|\\*|//)")
      continue()
    endif()
    if(NOT text_line MATCHES "^VB_STRING\\((IDS_[A-Z0-9_]+), ([1-9][0-9]*), \"(([^\"\\\\]|\\\\.)*)\"\\)$")
      vb_strings_fail(${file} ${line} "not an entry VB_STRING(IDS_NAME, id, \"text\")")
    endif()
    set(name ${CMAKE_MATCH_1})
    set(id ${CMAKE_MATCH_2})
    set(text "${CMAKE_MATCH_3}")
    if(id GREATER 65535)
      vb_strings_fail(${file} ${line} "id ${id} is beyond a string table's 16 bits")
    endif()
    if(id IN_LIST ids)
      vb_strings_fail(${file} ${line} "id ${id} is given twice")
    endif()
    if(name IN_LIST names)
      vb_strings_fail(${file} ${line} "${name} is given twice")
    endif()
    string(REPLACE "\\n" "" unescaped "${text}")
    if(unescaped MATCHES "\\\\")
      vb_strings_fail(${file} ${line} "the only escape a text may hold is \\n")
    endif()
    if(text STREQUAL "")
      vb_strings_fail(${file} ${line} "${name} has no text")
    endif()
    vb_check_punctuation("${code}" ${file} ${line} "${text}")
    list(APPEND ids ${id})
    list(APPEND names ${name})
    set(${prefix}_name_${id} ${name} PARENT_SCOPE)
    set(${prefix}_text_${id} "${text}" PARENT_SCOPE)
    set(${prefix}_line_${id} ${line} PARENT_SCOPE)
  endwhile()
  if(ids STREQUAL "")
    vb_strings_fail(${file} 1 "no entries")
  endif()
  set(${prefix}_ids ${ids} PARENT_SCOPE)
endfunction()

# --- The languages --------------------------------------------------------------------------
set(vb_languages_file ${vb_resources}/languages.txt)
file(STRINGS ${vb_languages_file} vb_language_lines REGEX "^[^#]")
set(VB_STRING_LANGUAGES "")
foreach(entry IN LISTS vb_language_lines)
  if(NOT entry MATCHES "^([a-z][a-z][a-z]?) (0x[0-9A-F][0-9A-F]) ([A-Z][A-Za-z ]+)$")
    message(FATAL_ERROR "resources/languages.txt: '${entry}' is not 'CODE 0xNN Name'")
  endif()
  set(code ${CMAKE_MATCH_1})
  if(code IN_LIST VB_STRING_LANGUAGES)
    message(FATAL_ERROR "resources/languages.txt: ${code} is listed twice")
  endif()
  list(APPEND VB_STRING_LANGUAGES ${code})
  set(vb_language_id_${code} ${CMAKE_MATCH_2})
  set(vb_language_name_${code} "${CMAKE_MATCH_3}")
  if(code STREQUAL "en")
    set(vb_strings_file_${code} ${vb_resources}/strings.def)
  else()
    set(vb_strings_file_${code} ${vb_resources}/strings.${code}.def)
  endif()
endforeach()
list(GET VB_STRING_LANGUAGES 0 first)
if(NOT first STREQUAL "en")
  message(FATAL_ERROR "resources/languages.txt: the first language is en, the reference")
endif()

# A translation nobody listed would never reach the plug-in.
file(GLOB vb_translation_files CONFIGURE_DEPENDS ${vb_resources}/strings.*.def)
foreach(path IN LISTS vb_translation_files)
  get_filename_component(name ${path} NAME)
  string(REGEX REPLACE "^strings\\.(.*)\\.def$" "\\1" code "${name}")
  if(NOT code IN_LIST VB_STRING_LANGUAGES)
    message(FATAL_ERROR "resources/${name}: language ${code} is not listed in "
                        "resources/languages.txt (code, Windows primary language, name)")
  endif()
endforeach()

# --- The reference and each translation -----------------------------------------------------
set(vb_strings_inputs ${vb_languages_file})
foreach(code IN LISTS VB_STRING_LANGUAGES)
  set(path ${vb_strings_file_${code}})
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "resources/languages.txt lists ${code}, but ${path} does not exist")
  endif()
  list(APPEND vb_strings_inputs ${path})
  vb_read_table(${path} ${code} ${code})
endforeach()

foreach(name IN LISTS VB_UNTRANSLATED_STRINGS)
  set(found FALSE)
  foreach(id IN LISTS en_ids)
    if(en_name_${id} STREQUAL name)
      set(found TRUE)
    endif()
  endforeach()
  if(NOT found)
    message(FATAL_ERROR "cmake/string_tables.cmake: the untranslated ${name} is not in "
                        "resources/strings.def")
  endif()
endforeach()

foreach(code IN LISTS VB_STRING_LANGUAGES)
  if(code STREQUAL "en")
    continue()
  endif()
  set(file resources/strings.${code}.def)
  foreach(id IN LISTS ${code}_ids)
    set(name ${${code}_name_${id}})
    set(line ${${code}_line_${id}})
    if(NOT id IN_LIST en_ids)
      vb_strings_fail(${file} ${line} "id ${id} is not in the English table, strings.def")
    endif()
    if(NOT name STREQUAL en_name_${id})
      vb_strings_fail(${file} ${line} "id ${id} is ${en_name_${id}} in strings.def, not ${name}")
    endif()
    if(name IN_LIST VB_UNTRANSLATED_STRINGS)
      vb_strings_fail(${file} ${line} "${name} is never translated: the product name and the menu "
                      "entry stay as they are, the split markers are data and read in English")
    endif()
    vb_line_pattern("${en_text_${id}}" english)
    vb_line_pattern("${${code}_text_${id}}" translated)
    if(NOT english STREQUAL translated)
      vb_strings_fail(${file} ${line} "${name} breaks its lines elsewhere than the English text")
    endif()
  endforeach()
  foreach(id IN LISTS en_ids)
    if(NOT id IN_LIST ${code}_ids AND NOT en_name_${id} IN_LIST VB_UNTRANSLATED_STRINGS)
      vb_strings_fail(${file} 1 "lacks ${en_name_${id}} (${id}) of strings.def")
    endif()
  endforeach()
endforeach()

# --- What the build reads -------------------------------------------------------------------
string(CONCAT header "// Generated by cmake/string_tables.cmake from resources/languages.txt and the\n"
           "// string tables it lists. Every table as the Linux module and the tests read it.\n"
           "#pragma once\n#include <cstddef>\n#include <cstdint>\n\nnamespace vb_strings {\n\n"
           "struct Entry {\n    uint32_t id;\n    const char16_t* text;\n};\n\n"
           "struct Table {\n    const char* code;   // as the file and LC_ALL name the language\n"
           "    uint16_t language;  // Windows primary language\n"
           "    const char* name;\n    const Entry* entries;\n    size_t count;\n};\n\n"
           "#define VB_STRING(name, id, text) {id, u\"\" text},\n")
set(tables "")
string(CONCAT rc "/* Generated by cmake/string_tables.cmake: one STRINGTABLE per language of\n"
       " * resources/languages.txt, under the language's SUBLANG_DEFAULT. */\n"
       "#pragma code_page(65001)\n#define VB_STRING(name, id, text) id, text\n")
foreach(code IN LISTS VB_STRING_LANGUAGES)
  get_filename_component(name ${vb_strings_file_${code}} NAME)
  string(APPEND header "inline constexpr Entry kEntries_${code}[] = {\n#include \"${name}\"\n};\n")
  string(APPEND tables "    {\"${code}\", ${vb_language_id_${code}}, \"${vb_language_name_${code}}\", "
                       "kEntries_${code}, sizeof(kEntries_${code}) / sizeof(Entry)},\n")
  string(APPEND rc "LANGUAGE ${vb_language_id_${code}}, 0x01 /* ${vb_language_name_${code}} */\n"
                   "STRINGTABLE\nBEGIN\n#include \"${name}\"\nEND\n")
endforeach()
string(APPEND header "#undef VB_STRING\n\n// The reference, English, first.\n"
                     "inline constexpr Table kTables[] = {\n${tables}};\n\n}  // namespace vb_strings\n")
# What follows the tables in the script is English again.
string(APPEND rc "#undef VB_STRING\nLANGUAGE 0x09, 0x01\n")

function(vb_write_if_changed path content)
  file(WRITE ${path}.new "${content}")
  file(COPY_FILE ${path}.new ${path} ONLY_IF_DIFFERENT)
  file(REMOVE ${path}.new)
endfunction()
file(MAKE_DIRECTORY ${vb_generated})
vb_write_if_changed(${vb_generated}/vb_string_tables.h "${header}")
vb_write_if_changed(${vb_generated}/vb_string_tables.rc "${rc}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${vb_strings_inputs})

# Where the tables are read: the generated header and the files it includes.
add_library(vb_string_tables INTERFACE)
target_include_directories(vb_string_tables INTERFACE ${vb_resources} ${vb_generated})
set(VB_STRING_TABLE_FILES ${vb_strings_inputs})
