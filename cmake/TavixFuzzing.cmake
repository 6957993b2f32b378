# tavix_add_fuzzer(NAME name SOURCES ... LIBRARIES ...): a libFuzzer harness.
# Built only with TAVIX_FUZZ (the linux-fuzz preset, clang with the fuzzer,
# address and undefined sanitizers) and gathered in the `fuzzers` target; its
# seed corpus is fuzz/corpus/<name>/.
option(TAVIX_FUZZ "Build the libFuzzer harnesses (needs clang)" OFF)
if(TAVIX_FUZZ)
  add_custom_target(fuzzers)
  add_library(tavix-fuzz-support INTERFACE)
  target_include_directories(tavix-fuzz-support INTERFACE ${PROJECT_SOURCE_DIR}/fuzz)
endif()

function(tavix_add_fuzzer)
  if(NOT TAVIX_FUZZ)
    return()
  endif()
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${F_NAME} ${F_SOURCES})
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBRARIES} tavix-fuzz-support)
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  add_dependencies(fuzzers ${F_NAME})
endfunction()
