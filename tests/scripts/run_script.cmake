# Runs one script in a fresh folder: cmake -DRUNNER=... -DSCRIPT=... -DWORK=... -P run_script.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(ENV{KELSB_CONFIG_DIR} ${WORK}/config)
execute_process(COMMAND ${RUNNER} ${SCRIPT}
    WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE status
    OUTPUT_VARIABLE output
    ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${SCRIPT} failed (exit ${status}):\n${errors}\n${output}")
endif()
