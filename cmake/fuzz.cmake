# clang build of the fuzz targets: each fuzz/*.cpp defines LLVMFuzzerTestOneInput
# over the neutral code with the headless back-end.
# Undefined behaviour stops the run (as in the native build), so a target that
# hits it fails instead of printing a warning and passing.
set(VEXMOOR_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer -g -O1)
find_package(Threads REQUIRED)

add_library(vexmoor_fuzzlib STATIC ${VEXMOOR_EMPTY_SOURCE}
            ${VEXMOOR_NEUTRAL_SOURCES} ${VEXMOOR_NATIVE_SOURCES} ${VEXMOOR_NULL_SOURCES})
vexmoor_project_target(vexmoor_fuzzlib)
target_compile_options(vexmoor_fuzzlib PRIVATE ${VEXMOOR_FUZZ_FLAGS})
target_compile_definitions(vexmoor_fuzzlib PUBLIC VEXMOOR_BACKEND_NULL VEXMOOR_FUZZING)
target_link_libraries(vexmoor_fuzzlib PUBLIC Threads::Threads vorbisfile vorbis ogg)

file(GLOB fuzz_srcs CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/fuzz/*.cpp")
foreach(src IN LISTS fuzz_srcs)
  get_filename_component(name "${src}" NAME_WE)
  add_executable(${name} ${src})
  vexmoor_project_target(${name})
  target_compile_options(${name} PRIVATE ${VEXMOOR_FUZZ_FLAGS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
  target_link_libraries(${name} PRIVATE vexmoor_fuzzlib)
endforeach()
