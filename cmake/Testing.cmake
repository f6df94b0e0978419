# Tests run headless wherever ctest runs them. Each carries the labels given and, unless
# UNSANITIZED is given, the label "sanitized": the sanitizer run builds and runs those suites.
function(pellix_add_test target)
    cmake_parse_arguments(ARG "UNSANITIZED" "" "LABELS" ${ARGN})
    set(labels ${ARG_LABELS})
    if(NOT ARG_UNSANITIZED)
        list(APPEND labels sanitized)
    endif()
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=*.debug=false"
        TIMEOUT 600
        LABELS "${labels}")
endfunction()
