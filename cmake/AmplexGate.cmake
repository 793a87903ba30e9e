# amplex_add_gate(NAME <name> PATH <dir> SOURCES <files...> [LIBS <targets...>])
#
# Builds one gate plug-in as ${CMAKE_BINARY_DIR}/gates/<dir>/<name>.so, the file that the
# gate path "<dir>\<name>" names. The plug-in gets the frame's exports, its own copy of the
# quantum state core and the gate kernels, and the flags that let dlclose really unload it.
#
# The same function serves this tree and the installed gate kit (find_package(AmplexGates)):
# both name the frame, the kernels and the exports as AmplexGates:: targets, aliases here and
# imported libraries there. In this tree each gate is also installed under lib/amplex/gates.
function(amplex_add_gate)
    cmake_parse_arguments(GATE "" "NAME;PATH" "SOURCES;LIBS" ${ARGN})
    if(NOT GATE_NAME OR NOT GATE_PATH OR NOT GATE_SOURCES)
        message(FATAL_ERROR "amplex_add_gate needs NAME, PATH and SOURCES")
    endif()
    set(target gate_${GATE_NAME})
    set(map ${AMPLEX_GATE_KIT_DIR}/gateexports.map)
    add_library(${target} MODULE ${GATE_SOURCES} $<TARGET_OBJECTS:AmplexGates::exports>)
    set_target_properties(${target} PROPERTIES
        OUTPUT_NAME ${GATE_NAME}
        PREFIX ""
        SUFFIX ".so"
        LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/gates/${GATE_PATH}
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
    target_compile_features(${target} PRIVATE cxx_std_20)
    target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique>)
    target_link_options(${target} PRIVATE -Wl,--gc-sections -Wl,--version-script=${map})
    # clang links its sanitizer runtimes into the program only, so a fuzz build's plug-ins
    # leave those symbols to the program that loads them.
    if(NOT AMPLEX_FUZZ)
        target_link_options(${target} PRIVATE -Wl,--no-undefined)
    endif()
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${map})
    target_link_libraries(${target} PRIVATE AmplexGates::frame AmplexGates::kernels ${GATE_LIBS})
    if(TARGET amplex_warnings)
        target_link_libraries(${target} PRIVATE amplex_warnings)
    endif()
    if(AMPLEX_INSTALL_GATES)
        install(TARGETS ${target} LIBRARY DESTINATION lib/amplex/gates/${GATE_PATH})
    endif()
    set_property(GLOBAL APPEND PROPERTY AMPLEX_GATE_TARGETS ${target})
endfunction()

# Where the export list lies: beside this file, in the tree and in the installed kit alike.
set(AMPLEX_GATE_KIT_DIR ${CMAKE_CURRENT_LIST_DIR})
