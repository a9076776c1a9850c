# A score split under one language and split again under another: every split renumbers the one
# suffix of the piece it cuts, and the markers it writes are English, under each of the four
# languages in turn. Runs the host program as a user would, each step on the document the step
# before wrote, in the orchestra example's strings (whose last piece already carries a suffix).
#
# cmake -DRUN=<command before the program, items joined by |; empty on Linux>
#       -DPROGRAM=<brisane or FINALE.EXE> -DPLUGIN=<fxt> -DWORK=<folder>
#       -P resplit_across_languages.cmake        (from the source folder)
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" run "${RUN}")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# Locale, then the measures selected: each inside the piece the step before made.
set(steps "fr_FR.UTF-8 33-56" "de_DE.UTF-8 41-48" "ja_JP.UTF-8 43-46" "C 44-45")

# The groups of a document: sets <prefix>_numbers and <prefix>_full_<n>, <prefix>_abbr_<n>.
function(read_groups path prefix)
  file(READ "${path}" document)
  string(JSON count LENGTH "${document}" groups)
  math(EXPR last "${count} - 1")
  set(numbers "")
  foreach(i RANGE ${last})
    string(JSON number GET "${document}" groups ${i} number)
    list(APPEND numbers ${number})
    foreach(field full abbr)
      set(key fullName)
      if(field STREQUAL "abbr")
        set(key abbrevName)
      endif()
      string(JSON name ERROR_VARIABLE none GET "${document}" groups ${i} ${key})
      if(none)
        set(name "")
      endif()
      set(${prefix}_${field}_${number} "${name}" PARENT_SCOPE)
    endforeach()
  endforeach()
  set(${prefix}_numbers ${numbers} PARENT_SCOPE)
endfunction()

# How often `text` holds `part`.
function(count_of text part out)
  string(REPLACE "${part}" "" rest "${text}")
  string(LENGTH "${text}" all)
  string(LENGTH "${rest}" left)
  string(LENGTH "${part}" one)
  math(EXPR n "(${all} - ${left}) / ${one}")
  set(${out} ${n} PARENT_SCOPE)
endfunction()

set(input examples/orchestra.json)
read_groups("${input}" before)
set(step 0)
foreach(entry IN LISTS steps)
  math(EXPR step "${step} + 1")
  string(REPLACE " " ";" entry "${entry}")
  list(GET entry 0 locale)
  list(GET entry 1 measures)
  set(output "${WORK}/step-${step}.json")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env LC_ALL=${locale} ${run} "${PROGRAM}" "${input}"
            --staves 20-24 --measures ${measures} --yes --plugin "${PLUGIN}" --output "${output}"
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  message("== step ${step}, LC_ALL=${locale}, measures ${measures}\n${out}${err}")
  if(NOT status EQUAL 0 OR NOT EXISTS "${output}")
    message(FATAL_ERROR "step ${step} (${locale}): the program ended with ${status}")
  endif()
  read_groups("${output}" after)

  set(made "")
  foreach(number IN LISTS after_numbers)
    if(NOT number IN_LIST before_numbers)
      list(APPEND made ${number})
    endif()
    foreach(field full abbr)
      foreach(marker "(Brisane " "(Brs ")
        count_of("${after_${field}_${number}}" "${marker}" n)
        if(n GREATER 1)
          message(FATAL_ERROR "step ${step} (${locale}): group ${number} has ${n} suffixes: "
                              "${after_${field}_${number}}")
        endif()
      endforeach()
    endforeach()
  endforeach()
  list(LENGTH made made_count)
  if(NOT made_count EQUAL 2)
    message(FATAL_ERROR "step ${step} (${locale}): made the groups '${made}', expected two")
  endif()
  foreach(number IN LISTS made)
    set(full "Strings^font(Garamond)^size(12)^nfx(128)(Brisane ${number})")
    set(abbr "Str.^font(Garamond)^size(10)^nfx(128)(Brs ${number})")
    if(NOT after_full_${number} STREQUAL full OR NOT after_abbr_${number} STREQUAL abbr)
      message(FATAL_ERROR "step ${step} (${locale}): group ${number} is named "
                          "'${after_full_${number}}' / '${after_abbr_${number}}', expected "
                          "'${full}' / '${abbr}'")
    endif()
  endforeach()

  read_groups("${output}" before)
  set(input "${output}")
endforeach()
message("four splits in four languages: one suffix each, renumbered, English markers")
