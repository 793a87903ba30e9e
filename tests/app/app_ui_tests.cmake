# The application shell: its rules without a screen, and the real main window with the real
# gate tree of the build directory.
amplex_add_test(app_model_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/historytext_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/measurementtext_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/programfiles_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/qubitcountinput_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/windowlayout_test.cpp
    LIBS amplex_app_model amplex_host)

amplex_add_test(mainwindow_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/mainwindow_test.cpp
    LIBS amplex_app_ui Qt6::Test
    QT_MAIN GATES)
