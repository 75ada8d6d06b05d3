# Fuzz targets, built with clang's libFuzzer under the sanitizers (the "fuzz" preset). The test
# command runs each for a bounded number of inputs; RUNLENS_FUZZ_RUNS sets how many.
set(RUNLENS_FUZZ_RUNS 20000 CACHE STRING "Inputs each fuzz target tries in the test run")

function(runlens_fuzz_target name source)
    add_executable(${name} ${source})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARGN})
    add_test(NAME ${name} COMMAND ${name} -runs=${RUNLENS_FUZZ_RUNS} -seed=1
             ${CMAKE_BINARY_DIR}/corpus/${name})
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/corpus/${name})
endfunction()

runlens_fuzz_target(version_block_fuzz ${PROJECT_SOURCE_DIR}/info/fuzz/version_block_fuzz.cpp
    runlens_version_oracle runlens_test_fakes)
runlens_fuzz_target(page_fuzz ${PROJECT_SOURCE_DIR}/info/fuzz/page_fuzz.cpp runlens_info runlens_test_fakes)
runlens_fuzz_target(path_rules_fuzz ${PROJECT_SOURCE_DIR}/inventory/fuzz/path_rules_fuzz.cpp
    runlens_inventory runlens_test_fakes)
runlens_fuzz_target(compare_rows_fuzz ${PROJECT_SOURCE_DIR}/app/fuzz/compare_rows_fuzz.cpp runlens_app)
