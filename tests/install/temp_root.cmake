# What both installation checks share: a fresh folder outside the source tree, and a command
# runner that removes it and stops at the first failure. Sets `root`; `run` leaves its standard
# output in `output`.
if(DEFINED ENV{TMPDIR} AND IS_DIRECTORY "$ENV{TMPDIR}")
    set(temp "$ENV{TMPDIR}")
else()
    set(temp /tmp)
endif()
string(RANDOM LENGTH 10 ALPHABET 0123456789abcdef tag)
set(root "${temp}/kelsbedit-${KIND}-${tag}")
file(MAKE_DIRECTORY ${root})

function(run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
        file(REMOVE_RECURSE ${root})
        message(FATAL_ERROR "${what} failed (${status}):\n${out}\n${err}")
    endif()
    set(output "${out}" PARENT_SCOPE)
endfunction()

function(fail what)
    file(REMOVE_RECURSE ${root})
    message(FATAL_ERROR "${what}")
endfunction()
