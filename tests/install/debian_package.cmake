# Builds the Debian package into a fresh folder outside the source tree and reads it back: the
# module, both programs and the CMake package inside, and the dependencies declared.
#   cmake -DBUILD_DIR=... -DCPACK=... -DDPKG_DEB=... -P this
set(KIND deb)
include(${CMAKE_CURRENT_LIST_DIR}/temp_root.cmake)

run("cpack" ${CPACK} -G DEB -B ${root} --config ${BUILD_DIR}/CPackConfig.cmake)
file(GLOB packages ${root}/*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
    fail("expected one package, found: ${packages}")
endif()

run("dpkg-deb --field" ${DPKG_DEB} --field ${packages} Package Depends)
set(fields "${output}")
run("dpkg-deb --contents" ${DPKG_DEB} --contents ${packages})
set(contents "${output}")
file(REMOVE_RECURSE ${root})

foreach(needed "Package: kelsbedit" "libstdc\\+\\+6")
    if(NOT fields MATCHES "${needed}")
        message(FATAL_ERROR "the package's fields lack ${needed}:\n${fields}")
    endif()
endforeach()
foreach(needed "/usr/lib[^ \n]*/libKelSBEdit.so" "/usr/bin/kelsb-script"
        "/usr/lib[^ \n]*/cmake/KelSBEdit/KelSBEditConfig.cmake"
        "/usr/include/kelsbedit/host/")
    if(NOT contents MATCHES "${needed}")
        message(FATAL_ERROR "the package holds no ${needed}:\n${contents}")
    endif()
endforeach()
