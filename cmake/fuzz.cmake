# libFuzzer targets (clang): the scheme file decoder.
add_executable(scheme_file_fuzz tests/fuzz/scheme_file_fuzz.cpp src/app/alloc.cpp
    src/schemes/scheme_codec.cpp src/schemes/scheme_list.cpp)
target_compile_options(scheme_file_fuzz PRIVATE -g -fsanitize=fuzzer,address,undefined)
target_link_options(scheme_file_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
