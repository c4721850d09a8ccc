# scripts/demo --headless as a user runs it with its output going to a file: a short race,
# then the demo ends by itself, says where its logs are, and its output is plain lines.
cmake_minimum_required(VERSION 3.25)
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QPANE_BUILD_DIR=${BUILD} QPANE_DEMO_NO_BUILD=1
    "QPANE_DEMO_RACE=--competitors 2 --runs 1 --gap 1500 --first-delay 1000"
    sh ${DEMO} --headless
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status TIMEOUT 120)
set(all "${out}${err}")
string(REGEX MATCH "demo: the traffic is in ([^\n]*)/qpane-sim\\.log" found "${out}")
set(root "${CMAKE_MATCH_1}")
set(log "")
set(operator "")
if(found AND EXISTS "${root}/qpane-sim.log")
  file(READ "${root}/qpane-sim.log" log)
endif()
if(found AND EXISTS "${root}/operator.log")
  file(READ "${root}/operator.log" operator)
endif()
if(root MATCHES "^/tmp/qpane-demo\\.")
  file(REMOVE_RECURSE "${root}")
endif()

if(NOT status EQUAL 0)
  message(FATAL_ERROR "scripts/demo --headless: ${status}\n${all}")
endif()
if(NOT found)
  message(FATAL_ERROR "the demo does not say where its logs are:\n${all}")
endif()
string(ASCII 27 escape)
string(FIND "${out}" "${escape}" at)
if(NOT at EQUAL -1)
  message(FATAL_ERROR "escape codes in output that is not a terminal:\n${out}")
endif()
foreach(expected
    "demo: the race is over and the board idle"
    "race: over, 2 lines handed out")
  string(FIND "${out}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "no \"${expected}\" in the output:\n${all}")
  endif()
endforeach()
# The board took the competitors' times (ALPINE-1 shows a time in row A).
if(NOT out MATCHES "\n  A  \\[[0-9 ][0-9 ][0-9]\\] \\[ *[0-9]+:[0-9][0-9]\\.[0-9][0-9]\\]")
  message(FATAL_ERROR "no time in row A of the board:\n${all}")
endif()
if(NOT log MATCHES " board COM2 \"A")
  message(FATAL_ERROR "the traffic log has no board line:\n${log}")
endif()
# The console was closed through its window while its ports were still there: no message
# of a lost port, and its shut-down ran.
if(NOT operator MATCHES "^started\nclick CuteButton3\nclose\n$")
  message(FATAL_ERROR "the operator's report is not start, 実行, close:\n${operator}")
endif()
