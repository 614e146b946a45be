# The replay program lists its folders when it runs: a file added after the
# build is replayed and named in the report, a failing one fails the run by
# its name, and a folder that is missing or empty fails it.
#   cmake -DREPLAY=<probe replay program> -DWORK_DIR=<scratch folder> -P CheckReplayFolders.cmake

set(folder "${WORK_DIR}/saved")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${folder}")

# expect_run(NAME exit-code regex... [NOT regex...]): runs the replay with
# RUN_ARGS and checks its exit code and what it wrote (no brackets in the
# regexes: they would hold the list together).
function(expect_run case code)
  cmake_parse_arguments(ARG "" "" "NOT" ${ARGN})
  execute_process(COMMAND "${REPLAY}" ${RUN_ARGS} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error)
  string(APPEND output "${error}")
  if(NOT result STREQUAL "${code}")
    message(FATAL_ERROR "${case}: exit ${result}, expected ${code}:\n${output}")
  endif()
  foreach(pattern ${ARG_UNPARSED_ARGUMENTS})
    if(NOT output MATCHES "${pattern}")
      message(FATAL_ERROR "${case}: no \"${pattern}\" in:\n${output}")
    endif()
  endforeach()
  foreach(pattern ${ARG_NOT})
    if(output MATCHES "${pattern}")
      message(FATAL_ERROR "${case}: \"${pattern}\" in:\n${output}")
    endif()
  endforeach()
endfunction()

set(RUN_ARGS)
expect_run("no folder" 2 "usage: ")

set(RUN_ARGS "${WORK_DIR}/missing")
expect_run("missing folder" 1 "FAILED  . missing\\.FolderCanBeListed" "No such file")

set(RUN_ARGS "${folder}")
expect_run("empty folder" 1 "FAILED  . saved\\.FolderHoldsInputs" "holds no input to replay")

file(WRITE "${folder}/first-input.bin" "taken")
expect_run("file added after the build" 0 "OK . saved\\.first_input\\.bin" "1 test from" NOT "FolderHoldsInputs")

file(MAKE_DIRECTORY "${folder}/nested")
file(WRITE "${folder}/nested/fail-here" "fail: a fault")
expect_run("failing file in a subfolder" 1 "OK . saved\\.first_input\\.bin"
  "FAILED  . saved\\.nested/fail_here" "saved/nested/fail-here")

# Several folders in one run, each a suite of its own.
file(REMOVE "${folder}/nested/fail-here")
file(MAKE_DIRECTORY "${WORK_DIR}/more")
file(WRITE "${WORK_DIR}/more/second" "taken")
set(RUN_ARGS "${folder}" "${WORK_DIR}/more/")
expect_run("two folders" 0 "OK . saved\\.first_input\\.bin" "OK . more\\.second" "2 tests from 2 test suites")
