# One INTERFACE target carries the warning flags so every target gets the same set.
option(VORTICEL_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)

add_library(vorticel_warnings INTERFACE)
target_compile_options(vorticel_warnings INTERFACE
    -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wcast-align -Woverloaded-virtual
    -Wnull-dereference -Wformat=2 -Wimplicit-fallthrough)
if(VORTICEL_WARNINGS_AS_ERRORS)
    target_compile_options(vorticel_warnings INTERFACE -Werror)
endif()
