# A build with AddressSanitizer and UndefinedBehaviorSanitizer: every target of the project, the
# library, the program, the tests and the fuzz targets, is compiled and linked with them, so that
# the whole test suite runs checked. Any report of undefined behaviour stops the program, as a
# memory error does, so that a test cannot pass over one.
#
# Sanitizers only work when every object file of a program agrees, so they are set for the whole
# build here rather than target by target; include this file before the first target.

option(PENNORO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(PENNORO_SANITIZE)
    if(MSVC)
        message(FATAL_ERROR "PENNORO_SANITIZE needs GCC or Clang")
    endif()
    set(pennoro_sanitizer_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined
                                -fno-omit-frame-pointer)
    add_compile_options(${pennoro_sanitizer_flags})
    add_link_options(${pennoro_sanitizer_flags})
    # AddressSanitizer reserves terabytes of address space: tests of an address space limit skip.
    add_compile_definitions(PENNORO_SANITIZED)
endif()
