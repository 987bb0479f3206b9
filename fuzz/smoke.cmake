# One short libFuzzer run of a target, as ./test does it: a fixed number of
# runs from a fixed seed, starting from the target's seeds, in a fresh
# folder of its own (libFuzzer adds what it finds to the first folder).
#   cmake -DTARGET=... -DSEEDS=... -DWORK=... -DRUNS=... -P smoke.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/corpus")
execute_process(
  COMMAND "${TARGET}" -runs=${RUNS} -seed=1 -print_final_stats=1 "-artifact_prefix=${WORK}/" "${WORK}/corpus" "${SEEDS}"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${output}")
endif()
string(REGEX MATCH "stat::number_of_executed_units: [0-9]+" runs "${output}")
message(STATUS "${runs}")
