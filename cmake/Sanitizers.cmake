# AddressSanitizer + UndefinedBehaviorSanitizer for the whole build.
option(VORTICEL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(VORTICEL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# libFuzzer targets (clang): everything gets coverage for the fuzzer plus both sanitizers; only
# the fuzz targets link libFuzzer's main.
option(VORTICEL_FUZZ "Build the libFuzzer targets (clang only)" OFF)

if(VORTICEL_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "VORTICEL_FUZZ needs clang (CXX=clang++)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
