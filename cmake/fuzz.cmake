# Fuzz targets, built with clang's libFuzzer under the sanitizers (the "fuzz" preset). The test
# command runs each for a bounded number of inputs; RUNLENS_FUZZ_RUNS sets how many. Each run
# first replays every input that ever made its target fail, kept in the target's corpus folder
# beside its source (fuzz/corpus/<target>); new inputs go to the build's own corpus.
set(RUNLENS_FUZZ_RUNS 20000 CACHE STRING "Inputs each fuzz target tries in the test run")

function(runlens_fuzz_target name source)
    get_filename_component(folder ${source} DIRECTORY)
    set(corpora ${CMAKE_BINARY_DIR}/corpus/${name})
    if(IS_DIRECTORY ${folder}/corpus/${name})
        list(APPEND corpora ${folder}/corpus/${name})
    endif()
    add_executable(${name} ${source})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARGN})
    # A finding is written beside the build's corpus, never into the source tree.
    add_test(NAME ${name} COMMAND ${name} -runs=${RUNLENS_FUZZ_RUNS} -seed=1
             -artifact_prefix=${CMAKE_BINARY_DIR}/findings/${name}- ${corpora})
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/corpus/${name} ${CMAKE_BINARY_DIR}/findings)
endfunction()

runlens_fuzz_target(version_block_fuzz ${PROJECT_SOURCE_DIR}/info/fuzz/version_block_fuzz.cpp
    runlens_version_oracle runlens_test_fakes)
runlens_fuzz_target(page_fuzz ${PROJECT_SOURCE_DIR}/info/fuzz/page_fuzz.cpp runlens_info runlens_test_fakes)
runlens_fuzz_target(path_rules_fuzz ${PROJECT_SOURCE_DIR}/inventory/fuzz/path_rules_fuzz.cpp
    runlens_inventory runlens_test_fakes)
runlens_fuzz_target(icon_guard_fuzz ${PROJECT_SOURCE_DIR}/inventory/fuzz/icon_guard_fuzz.cpp
    runlens_inventory)
runlens_fuzz_target(compare_rows_fuzz ${PROJECT_SOURCE_DIR}/app/fuzz/compare_rows_fuzz.cpp runlens_app)
