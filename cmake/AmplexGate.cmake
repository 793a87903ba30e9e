# amplex_add_gate(NAME <name> PATH <dir> SOURCES <files...> [LIBS <targets...>])
#
# Builds one gate plug-in as ${CMAKE_BINARY_DIR}/gates/<dir>/<name>.so, the file that the
# gate path "<dir>\<name>" names. The plug-in gets the frame's exports, its own copy of the
# quantum state core and the gate kernels, and the flags that let dlclose really unload it.
function(amplex_add_gate)
    cmake_parse_arguments(GATE "" "NAME;PATH" "SOURCES;LIBS" ${ARGN})
    if(NOT GATE_NAME OR NOT GATE_PATH OR NOT GATE_SOURCES)
        message(FATAL_ERROR "amplex_add_gate needs NAME, PATH and SOURCES")
    endif()
    set(target gate_${GATE_NAME})
    add_library(${target} MODULE ${GATE_SOURCES} $<TARGET_OBJECTS:amplex_gate_exports>)
    set_target_properties(${target} PROPERTIES
        OUTPUT_NAME ${GATE_NAME}
        PREFIX ""
        SUFFIX ".so"
        LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/gates/${GATE_PATH}
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
    target_compile_options(${target} PRIVATE -fno-gnu-unique)
    target_link_options(${target} PRIVATE -Wl,--no-undefined -Wl,--gc-sections
                        -Wl,--version-script=${PROJECT_SOURCE_DIR}/cmake/gateexports.map)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS
                 ${PROJECT_SOURCE_DIR}/cmake/gateexports.map)
    target_link_libraries(${target} PRIVATE amplex_gate_frame amplex_kernels amplex_warnings
                                            ${GATE_LIBS})
    set_property(GLOBAL APPEND PROPERTY AMPLEX_GATE_TARGETS ${target})
endfunction()
