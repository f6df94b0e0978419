# Tests run headless wherever ctest runs them. Each carries the labels given and, unless
# UNSANITIZED is given, the label "sanitized": the sanitizer run builds the target
# pellix_sanitized_tests and runs the tests with that label. CASES splits one executable into
# one test per GoogleTest filter, each in a process of its own.
function(pellix_add_test target)
    cmake_parse_arguments(ARG "UNSANITIZED" "" "LABELS;CASES" ${ARGN})
    set(labels ${ARG_LABELS})
    if(NOT ARG_UNSANITIZED)
        list(APPEND labels sanitized)
        set_property(GLOBAL APPEND PROPERTY PELLIX_SANITIZED_TARGETS ${target})
    endif()
    if(ARG_CASES)
        set(names)
        foreach(case ${ARG_CASES})
            add_test(NAME ${target}_${case} COMMAND ${target} --gtest_filter=*${case}*)
            list(APPEND names ${target}_${case})
        endforeach()
    else()
        add_test(NAME ${target} COMMAND ${target})
        set(names ${target})
    endif()
    set_tests_properties(${names} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=*.debug=false"
        TIMEOUT 600
        LABELS "${labels}")
endfunction()

# One target that builds every suite the sanitizer run needs; call after all tests are added.
function(pellix_add_sanitized_tests_target)
    get_property(targets GLOBAL PROPERTY PELLIX_SANITIZED_TARGETS)
    add_custom_target(pellix_sanitized_tests DEPENDS ${targets})
endfunction()
