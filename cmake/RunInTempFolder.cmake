# Runs a test command in a folder of its own, removed afterwards whatever the outcome:
#   cmake -DCOMMAND="prog|arg|@TEMP@/out" -P RunInTempFolder.cmake
# ('|' separates the arguments; @TEMP@ stands for the fresh folder).
if(DEFINED ENV{TMPDIR})
  set(base "$ENV{TMPDIR}")
else()
  set(base "/tmp")
endif()
string(RANDOM LENGTH 16 ALPHABET 0123456789abcdef tag)
set(dir "${base}/torvik-${tag}")
file(MAKE_DIRECTORY "${dir}")
string(REPLACE "@TEMP@" "${dir}" command "${COMMAND}")
string(REPLACE "|" ";" command "${command}")
execute_process(COMMAND ${command} RESULT_VARIABLE result)
file(REMOVE_RECURSE "${dir}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${COMMAND}: ${result}")
endif()
