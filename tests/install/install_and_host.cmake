# Installs the build into a fresh prefix outside the source tree, builds the tiny host there
# against the installed package and runs it; checks too that the installed module shows no
# symbol but its seven entry points.
#   cmake -DBUILD_DIR=... -DHOST_SOURCE=... -DGENERATOR=... -DCXX=... -DNM=... -P this
set(KIND install)
include(${CMAKE_CURRENT_LIST_DIR}/temp_root.cmake)

run("cmake --install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${root}/prefix)

file(GLOB_RECURSE modules ${root}/prefix/*/libKelSBEdit.so)
list(LENGTH modules count)
if(NOT count EQUAL 1)
    fail("expected one installed module, found: ${modules}")
endif()
run("nm" ${NM} -D --defined-only ${modules})
string(REGEX MATCHALL "[^\n]+" lines "${output}")
set(exported)
foreach(line ${lines})
    string(REGEX REPLACE "^[0-9a-fA-F]* *[A-Za-z] " "" name "${line}")
    list(APPEND exported ${name})
endforeach()
list(SORT exported)
set(expected _Z13KelSBEditOpenv _Z14KelSBEditClosev _Z15KelSBEditGetDlgv
    _Z16KelSBSetCurSceneP16CKelPlaySceneObj _Z18KelSBEditCreateDlgP4CWnd
    _Z19KelSBSetItemEditWndP4CWnd _Z22KelSBEditUndoRedoClosev)
if(NOT exported STREQUAL expected)
    fail("the installed module shows ${exported}, not the seven entry points")
endif()

set(installed bin/kelsb-script include/kelsbedit/host/scene/sample_scene.h
    include/kelsbedit/platform/wnd.h)
if(EXISTS ${root}/prefix/bin/kelsb-studio)
    list(APPEND installed share/applications/kelsb-studio.desktop
        share/icons/hicolor/scalable/apps/kelsb-studio.svg)
endif()
foreach(file ${installed})
    if(NOT EXISTS ${root}/prefix/${file})
        fail("not installed: ${file}")
    endif()
endforeach()

# The host's sources are copied out too, so nothing of this tree can be reached from its build.
file(COPY ${HOST_SOURCE}/ DESTINATION ${root}/host)
run("configuring the tiny host" ${CMAKE_COMMAND} -S ${root}/host -B ${root}/build -G ${GENERATOR}
    -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${root}/prefix -DCMAKE_BUILD_TYPE=Debug)
run("building the tiny host" ${CMAKE_COMMAND} --build ${root}/build)
run("the tiny host" ${root}/build/tiny_host)
message(STATUS "${output}")
# The installed runner finds the installed module by itself.
file(WRITE ${root}/open.kss "sample\nopen\nexpect dialog.visible true\n")
set(ENV{KELSB_CONFIG_DIR} ${root}/config)
unset(ENV{KELSB_MODULE})
run("the installed kelsb-script" ${root}/prefix/bin/kelsb-script ${root}/open.kss)
file(REMOVE_RECURSE ${root})
