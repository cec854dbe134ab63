# The window suites for Windows, run under Wine on a virtual X server: those
# that need neither a pseudo-terminal nor the simulated turntable, which
# exist only on Linux.
set(windows_suites main_window_test photos_test process_test qt_dialogs_test)

add_library(ui_test_support STATIC scripted_dialogs.cpp test_app_dir.cpp)
target_link_libraries(ui_test_support PUBLIC zentrivo_ui Qt6::Test)
target_include_directories(ui_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

# Wine finds the Qt DLLs and the compiler's runtime through WINEPATH, set
# by scripts/test-windows. Under Wine a suite's report reaches no console,
# so each writes it to a file, which scripts/test-windows shows.
foreach(name ${windows_suites})
    add_executable(${name} ${name}.cpp)
    target_link_libraries(${name} PRIVATE ui_test_support)
    add_test(NAME ui.${name} COMMAND ${name} -o ${CMAKE_BINARY_DIR}/ui-reports/${name}.txt,txt)
    set_tests_properties(ui.${name} PROPERTIES TIMEOUT 300 RESOURCE_LOCK turntable)
endforeach()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/ui-reports)
