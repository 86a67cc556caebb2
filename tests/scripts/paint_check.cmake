# Runs a script whose `paint` output must contain every "# paint-contains: " fragment of the
# script: cmake -DRUNNER=... -DSCRIPT=... -DWORK=... -P paint_check.cmake
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
file(STRINGS ${SCRIPT} wanted REGEX "^# paint-contains: ")
if(NOT wanted)
    message(FATAL_ERROR "${SCRIPT} names no paint-contains fragment")
endif()
foreach(line IN LISTS wanted)
    string(REPLACE "# paint-contains: " "" fragment "${line}")
    string(FIND "${output}" "${fragment}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "not painted: ${fragment}")
    endif()
endforeach()
