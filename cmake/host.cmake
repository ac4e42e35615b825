# The host build: the portable core and its unit tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the benchmarks of the core.
find_package(GTest REQUIRED)
option(TRELLITH_SANITIZE "Build the portable core with AddressSanitizer and UndefinedBehaviorSanitizer" ON)
if(TRELLITH_SANITIZE)
    set(SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
endif()

add_library(portable_core STATIC ${PORTABLE_PROGRAM_SOURCES} ${PORTABLE_MODULE_SOURCES})
target_compile_options(portable_core PUBLIC ${SANITIZE} -finput-charset=UTF-8 -fexec-charset=GBK -Wall -Wextra)
target_link_options(portable_core PUBLIC ${SANITIZE})

file(GLOB HOST_TESTS CONFIGURE_DEPENDS tests/host/*.cpp)
add_executable(host_tests ${HOST_TESTS})
target_link_libraries(host_tests PRIVATE portable_core GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(host_tests)

# The scheme merge's property on a million generated cases (scripts/bench.sh merge).
add_executable(merge_property bench/merge_property.cpp)
target_link_libraries(merge_property PRIVATE portable_core)

find_package(benchmark QUIET)
if(benchmark_FOUND)
    add_executable(core_bench bench/core_bench.cpp)
    target_link_libraries(core_bench PRIVATE portable_core benchmark::benchmark)
endif()
