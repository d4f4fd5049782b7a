# The options dialog, the auto-log prompt, the folder picker and the settings kept between starts, part of
# krav_app; included from app/CMakeLists.txt.
target_sources(krav_app PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/browse_folder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tf_auto.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tf_opts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_position.cpp)

if(KRAV_TESTS)
    add_executable(krav_options_tests ${CMAKE_CURRENT_LIST_DIR}/tests/options_test.cpp)
    target_link_libraries(krav_options_tests PRIVATE krav_app Qt6::Test krav_warnings)
    target_compile_definitions(krav_options_tests PRIVATE KRAV_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                                          KRAV_PROGRAM_FOLDER="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
    add_dependencies(krav_options_tests krav_data)
    add_test(NAME krav_options_tests COMMAND krav_options_tests)
    set_tests_properties(krav_options_tests PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
