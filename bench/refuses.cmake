# Runs a benchmark program with a wrong argument and passes when it answers
# as each must: exit code 2 and a single line on stderr.
#
#   cmake -P refuses.cmake PROGRAM ARGS...
math(EXPR last "${CMAKE_ARGC} - 1")
set(command "")
foreach(i RANGE 3 ${last})
  list(APPEND command "${CMAKE_ARGV${i}}")
endforeach()
execute_process(COMMAND ${command} RESULT_VARIABLE code OUTPUT_QUIET ERROR_VARIABLE err)
string(STRIP "${err}" said)
string(FIND "${said}" "\n" newline)
if(NOT code STREQUAL "2" OR said STREQUAL "" OR NOT newline EQUAL -1)
  message(FATAL_ERROR "${command}\nwanted exit code 2 and one line on stderr; got exit code "
                      "${code} and:\n${err}")
endif()
message(STATUS "${said}")
