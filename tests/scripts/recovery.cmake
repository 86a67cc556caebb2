# Automatic saving and recovery through the runner, with sessions killed at chosen points
# (KELSB_KILL_AT) instead of at chosen times:
#   cmake -DRUNNER=... -DWORK=... -P recovery.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(ENV{KELSB_CONFIG_DIR} ${WORK}/config)
set(ENV{XDG_STATE_HOME} ${WORK}/state)
set(folder ${WORK}/state/kelsbedit/recovery)

# run(<expected: 0, 1 or "killed"> <text the output or error must hold, or ""> <name> <lines>...)
function(run expected needle name)
    string(JOIN "" text ${ARGN})
    file(WRITE ${WORK}/${name} "${text}")
    execute_process(COMMAND ${RUNNER} ${name}
        WORKING_DIRECTORY ${WORK}
        RESULT_VARIABLE status
        OUTPUT_VARIABLE output
        ERROR_VARIABLE errors)
    if(expected STREQUAL "killed")
        if(status EQUAL 0 OR status EQUAL 1 OR status EQUAL 2)
            message(FATAL_ERROR "${name}: exit ${status}, expected to be killed\n${errors}")
        endif()
    elseif(NOT status EQUAL expected)
        message(FATAL_ERROR "${name}: exit ${status}, expected ${expected}\n${errors}\n${output}")
    endif()
    if(needle)
        string(FIND "${errors}${output}" "${needle}" at)
        if(at EQUAL -1)
            message(FATAL_ERROR "${name}: does not say \"${needle}\":\n${errors}\n${output}")
        endif()
    endif()
endfunction()

run(0 "" make.kss "sample\nsave ${WORK}/news.kse\n")

# The first change is saved at once; the second waits for its turn and the session dies with
# that save complete but not yet in place: the first change is what comes back, the half-written
# file is cleared at the next start, and the scene file itself is untouched.
set(ENV{KELSB_KILL_AT} recovery-rename:2)
run(killed "" session.kss "load news.kse\nautosave on\ntrack\ncontainer\nidle 1500\n")
unset(ENV{KELSB_KILL_AT})
file(GLOB leftovers ${folder}/*.save-*)
if(NOT leftovers)
    message(FATAL_ERROR "the killed save left no temporary file: the point was not reached")
endif()
run(0 "" found.kss
    "dump\n"
    "expect recovery.found.0.scene \"${WORK}/news.kse\"\n"
    "expect recovery.found.0.newerThanScene true\n"
    "recover news.kse\n"
    "expect recovery.last.result \"recovered\"\n"
    "expect document.storyboards.0.tracks.5.locked false\n"
    "open\ncheck\n")
file(GLOB leftovers ${folder}/*.save-*)
if(leftovers)
    message(FATAL_ERROR "left after the next start: ${leftovers}")
endif()

# Recovering makes the recovered document this session's unsaved work; an explicit save keeps
# it and ends the recovery file.
run(0 "" saved.kss
    "autosave on\nrecover news.kse\nidle 10\n"
    "expect recovery.found []\n"
    "save news.kse\nexpect recovery.saves 1\n")
file(GLOB left ${folder}/*)
if(left)
    message(FATAL_ERROR "an explicit save left ${left}")
endif()
run(1 "there is no recovery of news.kse" none.kss "recover news.kse\n")

# The history comes back with the document: two tracks appended and saved with their steps,
# a third and its undo lost with the save the kill cut short. Undoing the recovered steps gives
# the scene file's document, redoing them the recovered one.
set(ENV{KELSB_KILL_AT} recovery-rename:3)
run(killed "" history.kss
    "load news.kse\nautosave on\nopen\ncommand 32790\ncommand 32790\nidle 1200\n"
    "command 32790\nsend WM_CG_UR_FROM_HISTORY 1 1\nidle 1500\n")
unset(ENV{KELSB_KILL_AT})
run(0 "" history_back.kss
    "load news.kse\nkeep saved\n"
    "recover news.kse\nopen\ncheck\nkeep recovered\n"
    "expect recovery.last.historySteps 2\nexpect recovery.last.historyKept 2\n"
    "expect document.storyboards.0.history.undoable 2\n"
    "send WM_CG_UR_FROM_HISTORY 1 2\ncheck\nsame saved\n"
    "send WM_CG_UR_FROM_HISTORY 0 2\ncheck\nsame recovered\n")
file(GLOB history ${folder}/news*)
foreach(file ${history})
    file(REMOVE ${file})
endforeach()

# A scene never saved comes back by its recovery file.
set(ENV{KELSB_KILL_AT} recovery-rename:2)
run(killed "" untitled.kss "sample\nautosave on\nstoryboard Extra\ncontainer\nidle 1500\n")
unset(ENV{KELSB_KILL_AT})
file(GLOB untitled ${folder}/untitled.*.kelrec)
list(LENGTH untitled count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one untitled recovery, found: ${untitled}")
endif()
run(0 "" untitled_back.kss
    "expect recovery.found.0.scene \"\"\n"
    "recover ${untitled}\nexpect document.storyboards.2.name \"Extra\"\n")

# A recovery file that cannot be loaded is kept aside, never deleted, and the user told where.
file(WRITE ${folder}/broken.0000000000000000.kelrec "KelSBEdit recovery 1\npid 1\nscene 0\n\n\nnot a scene")
run(1 "kept as ${folder}/broken.0000000000000000.kelrec.failed-1" broken.kss
    "recover ${folder}/broken.0000000000000000.kelrec\n")
if(NOT EXISTS ${folder}/broken.0000000000000000.kelrec.failed-1)
    message(FATAL_ERROR "the damaged recovery file was not kept aside")
endif()

# A normal end is a normal close: the recovery file goes.
run(0 "" normal_end.kss "load news.kse\nautosave on\ntrack\nidle 10\nexpect recovery.saves 1\n")
file(GLOB left ${folder}/news*)
if(left)
    message(FATAL_ERROR "a normal end left ${left}")
endif()
