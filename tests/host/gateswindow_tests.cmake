# The gate tree scan on fixture directories, and the Gates window without a gate directory.
amplex_add_test(gateswindow_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/gatetree_test.cpp ${CMAKE_CURRENT_LIST_DIR}/gateswindow_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/programfiles_test.cpp
    LIBS amplex_host_ui
    QT_MAIN)
