# find_package(AmplexGates): the installed gate kit. Gives amplex_add_gate (see
# AmplexGate.cmake beside this file) and the targets AmplexGates::frame, ::kernels, ::core.
include(CMakeFindDependencyMacro)
find_dependency(Threads)
find_dependency(Qt6 6.4 COMPONENTS Widgets)
include(${CMAKE_CURRENT_LIST_DIR}/AmplexGatesTargets.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/AmplexGate.cmake)
