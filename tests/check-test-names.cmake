# Test names must keep CTest's lines readable and stay the same from one build to the next, so
# that `ctest -R NAME` finds a test again: at most LIMIT characters, no parameter printed by
# value, no bare parameter index (a parameterised test needs a name generator).
#
# cmake -DCTEST=<ctest> -DLIMIT=<characters> -P check-test-names.cmake   (in the build folder)
execute_process(COMMAND ${CTEST} -N OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ctest -N failed (${status}):\n${listing}")
endif()

string(REGEX MATCHALL "Test +#[0-9]+: [^\n]*" entries "${listing}")
list(LENGTH entries count)
if(count EQUAL 0)
  message(FATAL_ERROR "ctest -N lists no tests:\n${listing}")
endif()

set(problems "")
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "^Test +#[0-9]+: " "" name "${entry}")
  string(LENGTH "${name}" length)
  if(name MATCHES "GetParam|#")
    string(APPEND problems "  ${name}\n    names its parameter by value\n")
  elseif(name MATCHES "/[0-9]+$")
    string(APPEND problems "  ${name}\n    ends in a parameter index: give it a name generator\n")
  elseif(length GREATER LIMIT)
    string(APPEND problems "  ${name}\n    has ${length} characters, more than ${LIMIT}\n")
  endif()
endforeach()

if(problems)
  message(FATAL_ERROR "test names to change:\n${problems}")
endif()
message("${count} test names checked: short and stable")
