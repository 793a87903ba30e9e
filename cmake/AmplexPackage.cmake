# What `cmake --install` puts under its prefix, and the Debian package made of it.
#
#   bin/amplex                          the program
#   lib/amplex/gates/<dir>/<name>.so    the gate tree (amplex_add_gate installs each gate)
#   share/doc/amplex/                   the user guide, and examples/ for the gate kit
#   share/applications, share/icons     the desktop entry and its icon
#   include/amplex, lib/amplex/kit,     the gate kit: headers; the frame, its control table and
#   lib/cmake/AmplexGates               the kernels as static libraries; find_package(AmplexGates)
#
# The program finds its gates and guide relative to its own executable (host/programfiles.h),
# so the tree works under any prefix and the build tree keeps its own layout.

install(TARGETS amplex RUNTIME DESTINATION bin)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/doc/ DESTINATION share/doc/amplex)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples DESTINATION share/doc/amplex)
install(FILES ${PROJECT_SOURCE_DIR}/app/amplex.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/app/amplex.svg DESTINATION share/icons/hicolor/scalable/apps)

# The gate kit. The frame, core and kernels go in as the static libraries the delivered gates
# link, compiled once with the flags a plug-in needs (position independent, hidden, no unique
# symbols): a gate written outside the tree then links the very code the delivered gates run,
# builds in seconds, and needs no compiler flags of ours beyond what amplex_add_gate sets.
set_target_properties(amplex_core PROPERTIES EXPORT_NAME core)
set_target_properties(amplex_kernels PROPERTIES EXPORT_NAME kernels)
set_target_properties(amplex_gate_frame PROPERTIES EXPORT_NAME frame)
set_target_properties(amplex_gate_exports PROPERTIES EXPORT_NAME exports)
set_target_properties(amplex_controls PROPERTIES EXPORT_NAME controls)
install(TARGETS amplex_core amplex_kernels amplex_controls amplex_gate_frame amplex_gate_exports
        EXPORT AmplexGatesTargets
        ARCHIVE DESTINATION lib/amplex/kit
        OBJECTS DESTINATION lib/amplex/kit/objects)
# The headers a gate's source includes, at the paths it includes them by.
foreach(header core/complex.h core/qregister.h core/kernels.h host/gatecontract.h
               gates/frame/gateplugin.h gates/frame/gatedialog.h gates/frame/gatedialogspec.h)
    get_filename_component(dir ${header} DIRECTORY)
    install(FILES ${PROJECT_SOURCE_DIR}/${header} DESTINATION include/amplex/${dir})
endforeach()
set(kit_cmake lib/cmake/AmplexGates)
install(EXPORT AmplexGatesTargets NAMESPACE AmplexGates:: DESTINATION ${kit_cmake})
include(CMakePackageConfigHelpers)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/AmplexGatesConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/AmplexGatesConfig.cmake
              ${CMAKE_BINARY_DIR}/AmplexGatesConfigVersion.cmake
              ${PROJECT_SOURCE_DIR}/cmake/AmplexGate.cmake
              ${PROJECT_SOURCE_DIR}/cmake/gateexports.map
        DESTINATION ${kit_cmake})

# cpack -G DEB (or the package target). The Depends are the Debian 12 runtime packages of
# the libraries the program and its gates load: Qt's core, gui (which holds the xcb and
# offscreen platform plug-ins) and widgets, LZ4, and the C and C++ runtimes. Writing gates
# with the kit needs a compiler, CMake and Qt's headers, which are only suggested.
set(CPACK_PACKAGE_NAME amplex)
set(CPACK_PACKAGE_VENDOR "Amplex")
set(CPACK_PACKAGE_CONTACT "Amplex developers <amplex@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Teaching simulator of a small quantum computer")
set(CPACK_PACKAGE_DESCRIPTION "Amplex holds one register of 1 to 26 qubits as a full state \
vector, applies gates and whole algorithms (Grover's search, Shor's factoring) step by step, and \
shows amplitudes, probabilities and phases. Gates are plug-ins; the package includes a kit for \
writing your own.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The program and the gates without their debugging information (the kit's archives keep theirs).
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
# The C and C++ runtime versions are those dpkg-shlibdeps finds for the program and its gates.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), liblz4-1, libc6 (>= 2.34), libstdc++6 (>= 11), libgcc-s1 (>= 3.4)")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "g++, cmake, qt6-base-dev")
include(CPack)
