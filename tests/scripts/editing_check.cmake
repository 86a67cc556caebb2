# Runs editing.kss in a fresh folder, then compares what it saved: everything undone must be
# the sample as it was, everything redone the edited storyboard, byte for byte.
include(${CMAKE_CURRENT_LIST_DIR}/run_script.cmake)
foreach(pair "start.kscene;undone.kscene" "done.kscene;redone.kscene")
    list(GET pair 0 expected)
    list(GET pair 1 actual)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/${expected} ${WORK}/${actual}
        RESULT_VARIABLE differ)
    if(NOT differ EQUAL 0)
        message(FATAL_ERROR "${actual} differs from ${expected}")
    endif()
endforeach()
