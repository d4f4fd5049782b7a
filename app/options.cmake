# The options dialog, the auto-log prompt, the folder picker and the settings kept between starts; included
# from app/CMakeLists.txt.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

add_library(krav_settings STATIC ${CMAKE_CURRENT_LIST_DIR}/settings.cpp)
target_link_libraries(krav_settings PUBLIC krav_install krav_engine krav_platform PRIVATE krav_warnings)

add_library(krav_dialogs STATIC
    ${CMAKE_CURRENT_LIST_DIR}/browse_folder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tf_auto.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tf_opts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_position.cpp)
set_target_properties(krav_dialogs PROPERTIES AUTOMOC ON)
target_link_libraries(krav_dialogs PUBLIC krav_settings Qt6::Widgets PRIVATE krav_warnings)

if(KRAV_TESTS)
    add_executable(krav_options_tests ${PROJECT_SOURCE_DIR}/tests/options_test.cpp)
    set_target_properties(krav_options_tests PROPERTIES AUTOMOC ON)
    target_link_libraries(krav_options_tests PRIVATE krav_dialogs Qt6::Test krav_warnings)
    add_test(NAME krav_options_tests COMMAND krav_options_tests)
    set_tests_properties(krav_options_tests PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
