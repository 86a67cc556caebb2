# Runs one script in a fresh folder: cmake -DRUNNER=... -DSCRIPT=... -DWORK=... -P run_script.cmake
# With -DSAME_FILES=a.kse=b.kse,c.kse=d.kse the files the script saved must then be equal, byte for
# byte, pair by pair.
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
string(REPLACE "," ";" same_pairs "${SAME_FILES}")
foreach(pair ${same_pairs})
    string(REPLACE "=" ";" files ${pair})
    list(GET files 0 first)
    list(GET files 1 second)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/${first} ${WORK}/${second}
        RESULT_VARIABLE differ)
    if(NOT differ EQUAL 0)
        message(FATAL_ERROR "${SCRIPT}: ${first} and ${second} differ")
    endif()
endforeach()
