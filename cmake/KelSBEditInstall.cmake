# Installation for hosts: the module, the host and platform libraries with their headers, both
# host programs with the studio's desktop entry and icon, and the CMake package that
# find_package(KelSBEdit) reads. CPack makes a Debian package of the same files.
include(CMakePackageConfigHelpers)

set(KELSB_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/KelSBEdit)
set(KELSB_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/kelsbedit)

set_target_properties(kel_platform PROPERTIES EXPORT_NAME platform)
set_target_properties(kel_host PROPERTIES EXPORT_NAME host)
install(TARGETS kel_platform kel_host KelSBEdit
    EXPORT KelSBEditTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    INCLUDES DESTINATION ${KELSB_INCLUDE_DIR})
install(EXPORT KelSBEditTargets
    NAMESPACE KelSBEdit::
    DESTINATION ${KELSB_PACKAGE_DIR})

# The headers keep their folders, so that #include "host/..." and "platform/..." read as here.
foreach(folder platform host)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/${folder}
        DESTINATION ${KELSB_INCLUDE_DIR}
        FILES_MATCHING PATTERN "*.h")
endforeach()

if(TARGET kel_qt)
    set_target_properties(kel_qt PROPERTIES EXPORT_NAME qt)
    install(TARGETS kel_qt
        EXPORT KelSBEditQtTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${KELSB_INCLUDE_DIR})
    install(EXPORT KelSBEditQtTargets
        NAMESPACE KelSBEdit::
        DESTINATION ${KELSB_PACKAGE_DIR})
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/qt
        DESTINATION ${KELSB_INCLUDE_DIR}
        FILES_MATCHING PATTERN "*.h")
endif()

install(TARGETS kelsb-script RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET kelsb-studio)
    install(TARGETS kelsb-studio RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${PROJECT_SOURCE_DIR}/share/kelsb-studio.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${PROJECT_SOURCE_DIR}/share/kelsb-studio.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KelSBEditConfig.cmake.in
    ${PROJECT_BINARY_DIR}/KelSBEditConfig.cmake
    INSTALL_DESTINATION ${KELSB_PACKAGE_DIR}
    PATH_VARS CMAKE_INSTALL_LIBDIR)
# Before 1.0 a minor version may change the interface.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KelSBEditConfigVersion.cmake
    VERSION ${PROJECT_VERSION}
    COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KelSBEditConfig.cmake
              ${PROJECT_BINARY_DIR}/KelSBEditConfigVersion.cmake
    DESTINATION ${KELSB_PACKAGE_DIR})

# The Debian package: `cpack` in the build folder (or `cpack --config CPackConfig.cmake`).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelsbedit)
set(CPACK_PACKAGE_VENDOR "KelSBEdit")
set(CPACK_PACKAGE_CONTACT "KelSBEdit developers <kelsbedit@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Storyboard editor of a subtitle playout system, with its host libraries and hosts")
set(CPACK_PACKAGE_DESCRIPTION
    "The storyboard (timeline) editor module libKelSBEdit.so, the host and platform libraries it \
calls with their headers and CMake package, the headless runner kelsb-script and the \
interactive studio kelsb-studio.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6")
if(TARGET kel_qt)
    # The studio's windows, and a font with the Chinese texts' glyphs.
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
        ", libqt6core6, libqt6gui6, libqt6widgets6, qt6-qpa-plugins, fonts-wqy-microhei")
endif()
if(KEL_FFMPEG_PACKAGES)
    # The video export: FFmpeg's libraries (apps/CMakeLists.txt names them).
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ${KEL_FFMPEG_PACKAGES}")
endif()
include(CPack)
