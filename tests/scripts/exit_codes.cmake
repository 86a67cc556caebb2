# The runner's exit status and error messages:
#   cmake -DRUNNER=... -DWORK=... -P exit_codes.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(ENV{KELSB_CONFIG_DIR} ${WORK}/config)

# run(<expected status> <text the error must hold, or "">  <arguments...>)
function(run expected needle)
    execute_process(COMMAND ${RUNNER} ${ARGN}
        WORKING_DIRECTORY ${WORK}
        RESULT_VARIABLE status
        OUTPUT_VARIABLE output
        ERROR_VARIABLE errors)
    if(NOT status EQUAL expected)
        message(FATAL_ERROR "kelsb-script ${ARGN}: exit ${status}, expected ${expected}\n${errors}")
    endif()
    if(needle)
        string(FIND "${errors}" "${needle}" at)
        if(at EQUAL -1)
            message(FATAL_ERROR "kelsb-script ${ARGN}: the error does not say \"${needle}\":\n${errors}")
        endif()
    endif()
endfunction()

# run_text(<expected status> <needle> <script name> <script text>): writes the script, runs it.
function(run_text expected needle name text)
    file(WRITE ${WORK}/${name} "${text}")
    run(${expected} "${needle}" ${name})
endfunction()

# A failed expectation stops the script at its line; what follows does not run.
file(WRITE ${WORK}/failing_expect.kss
    "sample   # a comment after a command\n"
    "\n"
    "expect document.storyboards.0.name \"Sports\"\n"
    "save never_written.kse\n")
run(1 "line 3: expect document.storyboards.0.name: got \"News\", expected \"Sports\"" failing_expect.kss)
if(EXISTS ${WORK}/never_written.kse)
    message(FATAL_ERROR "the script went on after its failing line")
endif()

# A path that leads nowhere, a command that fails, and one that does not exist.
run_text(1 "line 2: expect document.storyboards.7.name: the state has no document.storyboards.7"
    missing_path.kss "sample\nexpect document.storyboards.7.name \"News\"\n")
run_text(1 "line 3: the scene has no piece named \"Nobody\""
    bad_material.kss "# comment only\nsample\nmaterial in Nobody 0 0 10\n")
run_text(1 "line 2: unknown command: explode" unknown.kss "sample\nexplode now\n")
run_text(1 "line 1: the expected value is not JSON" bad_json.kss "expect caption [1,\n")

# Values a script cannot give: a frame past the largest the editor supports, a number expect
# could only round into another one.
run_text(1 "line 2: N is out of range (0 to 82944000): 82944001"
    large_frame.kss "sample\nfpu 82944001\n")
run_text(1 "line 2: the expected value is not JSON (a number out of range"
    huge_number.kss "sample\nexpect document.current 1e400\n")

# Usage errors: a command with the wrong words, a number where a message takes an object
# (the editor would follow it as a pointer; nothing after it runs).
run_text(2 "line 2: usage: fpu N" arity.kss "sample\nfpu\n")
run_text(2 "line 3: KELSB_AUTOMATION_STATE takes an object in LPARAM (none or state), not 4096"
    pointer.kss "sample\nopen\nsend KELSB_AUTOMATION_STATE 0 4096\nsave never_written.kse\n")
if(EXISTS ${WORK}/never_written.kse)
    message(FATAL_ERROR "the script went on after its usage error")
endif()
# Drags in from the host: bytes must be hex pairs, a piece must be the scene's, a type one of
# the six.
run_text(2 "line 3: HEXBYTES must be pairs of hex digits" odd_hex.kss
    "sample\nopen\ndragin-raw 0f1 10 60 20 60\n")
run_text(1 "line 3: the scene has no piece named \"Nobody\"" no_piece.kss
    "sample\nopen\ndragin Nobody 0 10 60 20 60\n")
run_text(1 "line 3: TYPE is out of range" bad_type.kss "sample\nopen\ndragin Logo 4 10 60 20 60\n")
run(2 "usage: kelsb-script" one.kss two.kss)
run(2 "cannot read" no_such_script.kss)
run(2 "unknown option" --frobnicate)

# Standard input, and a script whose every line succeeds.
file(WRITE ${WORK}/passing.kss "sample\nexpect document.current 0\n")
execute_process(COMMAND ${RUNNER}
    INPUT_FILE ${WORK}/passing.kss
    WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE status
    ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "a passing script on standard input: exit ${status}\n${errors}")
endif()
