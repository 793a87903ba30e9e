# The application shell: its rules without a screen, and the real main window on the real gates.
set(dir ${CMAKE_CURRENT_LIST_DIR})
amplex_add_test(app_model_tests
    SOURCES ${dir}/circuitlayout_test.cpp ${dir}/historytext_test.cpp ${dir}/measurementtext_test.cpp
            ${dir}/qubitcountinput_test.cpp ${dir}/runprogress_test.cpp
            ${dir}/qasmexport_test.cpp ${dir}/sessionfile_test.cpp ${dir}/stepcomparison_test.cpp
            ${dir}/stepoperation_test.cpp ${dir}/windowlayout_test.cpp
    LIBS amplex_app_model amplex_host)
amplex_add_test(gateswindow_tests SOURCES ${dir}/gateswindow_test.cpp LIBS amplex_app_ui QT_MAIN)
amplex_add_test(mainwindow_tests SOURCES ${dir}/mainwindow_test.cpp
    LIBS amplex_app_ui Qt6::Test QT_MAIN GATES)
# Every table's controls on the pixels they had when recorded.
amplex_add_test(controllayout_tests SOURCES ${dir}/controllayout_test.cpp
    LIBS amplex_app_ui amplex_test_support QT_MAIN GATES)
target_compile_definitions(controllayout_tests PRIVATE
    AMPLEX_LAYOUT_RECORD="${dir}/controllayout.txt")
# QT_MAIN keeps Qt loaded, as the program does: otherwise every plug-in run by the circuits
# would load and unload Qt with it.
amplex_add_test(openqasm_tests SOURCES ${dir}/commandline_test.cpp ${dir}/qasmroundtrip_test.cpp
    LIBS amplex_app_model amplex_test_support QT_MAIN GATES)
