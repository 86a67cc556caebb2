# Runs a script whose `paint` output must contain every "# paint-contains: " fragment of the
# script: cmake -DRUNNER=... -DSCRIPT=... -DWORK=... -P paint_check.cmake
# run_script.cmake runs it in a fresh folder and leaves what it printed in `output`.
include(${CMAKE_CURRENT_LIST_DIR}/run_script.cmake)
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
