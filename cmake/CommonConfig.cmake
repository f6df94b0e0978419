# One place for the language level, warnings and strict Qt defines; every target links it.
add_library(pellix_common INTERFACE)
target_compile_features(pellix_common INTERFACE cxx_std_20)
target_compile_options(pellix_common INTERFACE
    -Wall -Wextra -Werror -pedantic
    -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual)
target_compile_definitions(pellix_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_KEYWORDS)

# AddressSanitizer and UndefinedBehaviorSanitizer over everything we compile; any undefined
# behaviour ends the run, so a test cannot pass over one.
option(PELLIX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(PELLIX_SANITIZE)
    set(PELLIX_SANITIZER_FLAGS
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_compile_options(pellix_common INTERFACE ${PELLIX_SANITIZER_FLAGS})
    target_link_options(pellix_common INTERFACE -fsanitize=address,undefined)
endif()

# Coverage for libFuzzer with both sanitizers, for the fuzz targets in tests/fuzz; clang only.
option(PELLIX_FUZZ "Instrument for libFuzzer and build the fuzz targets (clang)" OFF)
if(PELLIX_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "PELLIX_FUZZ needs clang: configure with CXX=clang++")
    endif()
    # Relative to the build tree, where Ninja runs the compiler: an absolute path would differ
    # between checkouts and keep ccache from reusing what another checkout compiled.
    file(RELATIVE_PATH coverage_ignorelist ${CMAKE_BINARY_DIR}
        ${CMAKE_SOURCE_DIR}/tests/fuzz/coverage-ignore.txt)
    target_compile_options(pellix_common INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined -fsanitize-coverage-ignorelist=${coverage_ignorelist})
    target_link_options(pellix_common INTERFACE -fsanitize=address,undefined)
endif()
