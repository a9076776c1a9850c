# Runs the host program's command on the orchestra example as a user would, answering Yes, and
# checks the document it writes: the strings group must be cut at measures 33 and 40.
#
# cmake -DWINE_RUN=<wine-run command, items joined by |> -DPROGRAM=FINALE.EXE -DPLUGIN=<fxt>
#       -DOUTPUT=<json> -P host_command.cmake   (from the source folder)
string(REPLACE "|" ";" wine_run "${WINE_RUN}")
file(REMOVE "${OUTPUT}")
execute_process(
  COMMAND ${wine_run} --display "${PROGRAM}" examples/orchestra.json --staves 20-24
          --measures 33-40 --yes --plugin "${PLUGIN}" --output "${OUTPUT}"
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the program ended with ${status}")
endif()
if(NOT EXISTS "${OUTPUT}")
  message(FATAL_ERROR "no document written to ${OUTPUT}")
endif()

file(READ "${OUTPUT}" document)
string(JSON count LENGTH "${document}" groups)
set(strings "")
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  string(JSON top GET "${document}" groups ${i} startStaff)
  string(JSON bottom GET "${document}" groups ${i} endStaff)
  if(top EQUAL 18 AND bottom EQUAL 22)
    string(JSON first GET "${document}" groups ${i} startMeasure)
    string(JSON end GET "${document}" groups ${i} endMeasure)
    list(APPEND strings "${first}-${end}")
  endif()
endforeach()
set(expected "1-16;17-24;25-32;33-40;41-64")
if(NOT strings STREQUAL expected)
  message(FATAL_ERROR "strings groups written: ${strings}; expected ${expected}")
endif()
