# A fuzz target with nothing to replay is refused when the project is
# configured, with a message that names it: one without INPUTS folders, or
# with a folder that is missing or holds no file. One with files in every
# folder (below a subfolder too) is taken.
#   cmake -DWORK_DIR=<scratch folder> -P CheckInputsRefused.cmake
# Each case runs in a cmake of its own (-DCASE=...) inside WORK_DIR, which
# declares the target the way a library's CMakeLists.txt does.

if(DEFINED CASE)
  include("${CMAKE_CURRENT_LIST_DIR}/../../../cmake/VarantoTargets.cmake")
  if(CASE STREQUAL "no-inputs")
    varanto_fuzz_target(probe_fuzz SOURCE Probe.cpp DEPS bas)
  elseif(CASE STREQUAL "no-folders")
    varanto_fuzz_target(probe_fuzz SOURCE Probe.cpp DEPS bas INPUTS)
  elseif(CASE STREQUAL "missing-folder")
    varanto_fuzz_target(probe_fuzz SOURCE Probe.cpp DEPS bas INPUTS seeds regressions/probe)
  elseif(CASE STREQUAL "empty-folder")
    varanto_fuzz_target(probe_fuzz SOURCE Probe.cpp DEPS bas INPUTS seeds empty)
  elseif(CASE STREQUAL "filled-folders")
    varanto_fuzz_target(probe_fuzz SOURCE Probe.cpp DEPS bas INPUTS seeds nested)
  endif()
  return()
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/empty/subfolder")
file(WRITE "${WORK_DIR}/seeds/one" "seed")
file(WRITE "${WORK_DIR}/nested/below/two" "seed")

function(expect case code pattern)
  execute_process(COMMAND ${CMAKE_COMMAND} -DCASE=${case} -P "${CMAKE_CURRENT_LIST_FILE}"
    WORKING_DIRECTORY "${WORK_DIR}" RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(code EQUAL 0 AND NOT result EQUAL 0)
    message(FATAL_ERROR "${case}: refused:\n${output}")
  elseif(NOT code EQUAL 0 AND result EQUAL 0)
    message(FATAL_ERROR "${case}: taken")
  endif()
  string(REGEX REPLACE "[ \n]+" " " output "${output}")
  if(NOT output MATCHES "${pattern}")
    message(FATAL_ERROR "${case}: no \"${pattern}\" in:\n${output}")
  endif()
endfunction()

expect(no-inputs 1 "Fuzz target probe_fuzz names no INPUTS folders")
expect(no-folders 1 "Fuzz target probe_fuzz names no INPUTS folders")
expect(missing-folder 1 "Fuzz target probe_fuzz: its INPUTS folder regressions/probe does not exist")
expect(empty-folder 1 "Fuzz target probe_fuzz: its INPUTS folder empty holds no files")
expect(filled-folders 0 "^ ?$")
