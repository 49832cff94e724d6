# tolvane_add_test(<name> SOURCES <files...> LIBRARIES <targets...> [SERIAL])
# One GoogleTest program per test area. It embeds the component's resources (type library,
# message table), runs under Wine through the emulator, and needs the prepared Wine prefix.
function(tolvane_add_test name)
    cmake_parse_arguments(T "SERIAL" "" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${T_SOURCES} $<TARGET_OBJECTS:tolvane_resources>)
    target_link_libraries(${name} PRIVATE tolvane_test_support ${T_LIBRARIES})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600)
    if(T_SERIAL)
        set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
    endif()
endfunction()
