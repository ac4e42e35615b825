# libFuzzer targets (clang): the decoders of the files the program reads back, the scheme file
# and the recovery file.
add_executable(scheme_file_fuzz tests/fuzz/scheme_file_fuzz.cpp src/app/alloc.cpp
    src/schemes/scheme_codec.cpp src/schemes/scheme_list.cpp src/settings/settings_rules.cpp src/app/digits.cpp)
add_executable(recovery_file_fuzz tests/fuzz/recovery_file_fuzz.cpp src/desktops/hidden_window.cpp)
foreach(target scheme_file_fuzz recovery_file_fuzz)
    target_compile_options(${target} PRIVATE -g -fsanitize=fuzzer,address,undefined)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
endforeach()
