# One place for the language level, warnings and strict Qt defines; every target links it.
add_library(pellix_common INTERFACE)
target_compile_features(pellix_common INTERFACE cxx_std_20)
target_compile_options(pellix_common INTERFACE -Wall -Wextra -Werror)
target_compile_definitions(pellix_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_KEYWORDS)
