# Native (Linux) build: every platform-neutral file with the headless render
# back-end, under AddressSanitizer and UndefinedBehaviorSanitizer, with the
# GoogleTest unit tests, the benchmarks, the data generator and the Wine tests.
enable_testing()
find_package(GTest REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(VORBIS REQUIRED IMPORTED_TARGET vorbisfile vorbisenc vorbis ogg)
find_package(Threads REQUIRED)

option(VEXMOOR_SANITIZERS "Build with AddressSanitizer and UndefinedBehaviorSanitizer" ON)
if(VEXMOOR_SANITIZERS)
  set(VEXMOOR_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
else()
  set(VEXMOOR_SANITIZE)   # optimised build for the benchmarks (tools/bench.sh)
endif()
set(VEXMOOR_FUZZ_DIR "${CMAKE_SOURCE_DIR}/build/fuzz" CACHE PATH "clang build with the fuzz targets")
set(VEXMOOR_WIN_DIR "" CACHE PATH "mingw-w64 build whose programs the Wine tests run")

function(vexmoor_sanitize target)
  target_compile_options(${target} PRIVATE ${VEXMOOR_SANITIZE})
  target_link_options(${target} PRIVATE ${VEXMOOR_SANITIZE})
endfunction()

add_library(vexmoor_native STATIC ${VEXMOOR_EMPTY_SOURCE}
            ${VEXMOOR_NEUTRAL_SOURCES} ${VEXMOOR_NATIVE_SOURCES} ${VEXMOOR_NULL_SOURCES})
vexmoor_project_target(vexmoor_native)
vexmoor_sanitize(vexmoor_native)
target_compile_definitions(vexmoor_native PUBLIC VEXMOOR_BACKEND_NULL)
target_link_libraries(vexmoor_native PUBLIC PkgConfig::VORBIS Threads::Threads)
target_link_options(vexmoor_native PUBLIC ${VEXMOOR_SANITIZE})

# The installation folder's data\: the hand-written files of data/ (the data
# generator adds the generated ones). Every unit test runs from the
# installation folder, as the game does.
add_custom_target(install_data ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_SOURCE_DIR}/data"
  COMMAND ${CMAKE_COMMAND} -E copy_directory "${CMAKE_SOURCE_DIR}/data" "${VEXMOOR_INSTALL_DIR}/data"
  COMMENT "Copying data\\ into the installation folder")

# Unit tests: one program per tests/<subsystem>/ folder.
include(GoogleTest)
foreach(sub IN LISTS VEXMOOR_SUBSYSTEMS ITEMS tools content)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/${sub}/*.cpp")
  if(srcs)
    add_executable(tests_${sub} ${srcs} "${CMAKE_SOURCE_DIR}/tests/common/test_main.cpp")
    vexmoor_project_target(tests_${sub})
    vexmoor_sanitize(tests_${sub})
    target_link_libraries(tests_${sub} PRIVATE vexmoor_native GTest::gtest GTest::gmock)
    # A hang fails its test within a minute instead of stalling the run.
    gtest_discover_tests(tests_${sub} WORKING_DIRECTORY "${VEXMOOR_INSTALL_DIR}"
                         DISCOVERY_MODE PRE_TEST PROPERTIES LABELS unit TIMEOUT 60)
  endif()
endforeach()

# Layers only point down (tools/check-layers.sh).
add_test(NAME layering
         COMMAND "${CMAKE_SOURCE_DIR}/tools/check-layers.sh")
set_tests_properties(layering PROPERTIES LABELS unit TIMEOUT 60)

# Every command the Wine tests check for is installed by tools/setup.sh.
add_test(NAME setup_tools
         COMMAND "${CMAKE_SOURCE_DIR}/tools/check-tools.sh")
set_tests_properties(setup_tools PROPERTIES LABELS unit TIMEOUT 60)

# Benchmarks (Google Benchmark): built here, run by tools/bench.sh, never timed in tests.
find_package(benchmark QUIET)
file(GLOB bench_srcs CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/bench/*.cpp")
if(benchmark_FOUND AND bench_srcs)
  add_executable(vexmoor_bench ${bench_srcs})
  vexmoor_project_target(vexmoor_bench)
  vexmoor_sanitize(vexmoor_bench)
  target_link_libraries(vexmoor_bench PRIVATE vexmoor_native benchmark::benchmark_main)
endif()

# The data generator and the installation folder's data\.
if(EXISTS "${CMAKE_SOURCE_DIR}/tools/datagen/CMakeLists.txt")
  add_subdirectory(tools/datagen)
endif()

# Fuzz targets live in the clang build; here each runs over its corpus for a few seconds.
file(GLOB fuzz_srcs CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/fuzz/*.cpp")
foreach(src IN LISTS fuzz_srcs)
  get_filename_component(name "${src}" NAME_WE)
  file(MAKE_DIRECTORY "${CMAKE_SOURCE_DIR}/fuzz/corpus/${name}")
  add_test(NAME ${name}
           COMMAND "${CMAKE_SOURCE_DIR}/tools/run-fuzz.sh" "${VEXMOOR_FUZZ_DIR}/${name}"
                   "${CMAKE_SOURCE_DIR}/fuzz/corpus/${name}" 4)
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 120)
endforeach()

# Wine tests: each tests/wine/test_*.sh drives a Windows program through the harness.
if(VEXMOOR_WIN_DIR)
  file(GLOB wine_tests CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/wine/test_*.sh")
  set(wine_env "VEXMOOR_WIN_DIR=${VEXMOOR_WIN_DIR}" "VEXMOOR_INSTALL_DIR=${VEXMOOR_INSTALL_DIR}"
               "VEXMOOR_WINE_DIR=${CMAKE_BINARY_DIR}/wine" "VEXMOOR_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  add_test(NAME wine_prefix COMMAND bash "${CMAKE_SOURCE_DIR}/tests/wine/make_prefix.sh")
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wineprefix ENVIRONMENT "${wine_env}"
                       RESOURCE_LOCK wine TIMEOUT 600)
  foreach(script IN LISTS wine_tests)
    get_filename_component(name "${script}" NAME_WE)
    add_test(NAME wine_${name} COMMAND bash "${script}")
    set_tests_properties(wine_${name} PROPERTIES FIXTURES_REQUIRED wineprefix RESOURCE_LOCK wine
                         ENVIRONMENT "${wine_env}" LABELS wine TIMEOUT 900)
  endforeach()
endif()

# ThreadSanitizer check of the sound thread against the main thread: the sound
# and core sources with the stress test, built apart from the ASan library
# (the two sanitizers cannot share a program).
option(VEXMOOR_TSAN_SOUND "Build and run the sound stress test under ThreadSanitizer" ON)
if(VEXMOOR_TSAN_SOUND)
  file(GLOB tsan_srcs CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/sound/*.cpp" "${CMAKE_SOURCE_DIR}/sound/native/*.cpp"
       "${CMAKE_SOURCE_DIR}/core/native/*.cpp")
  foreach(f clock error files random strings thread vector)
    list(APPEND tsan_srcs "${CMAKE_SOURCE_DIR}/core/${f}.cpp")
  endforeach()
  add_executable(tests_sound_tsan ${tsan_srcs} "${CMAKE_SOURCE_DIR}/tests/sound/test_sound_stress.cpp"
                 "${CMAKE_SOURCE_DIR}/tests/sound/scripted_decoder.cpp" "${CMAKE_SOURCE_DIR}/tests/common/test_main.cpp")
  vexmoor_project_target(tests_sound_tsan)
  target_compile_options(tests_sound_tsan PRIVATE -fsanitize=thread -O1 -g)
  target_link_options(tests_sound_tsan PRIVATE -fsanitize=thread)
  target_link_libraries(tests_sound_tsan PRIVATE GTest::gtest PkgConfig::VORBIS Threads::Threads)
  add_test(NAME sound_tsan COMMAND tests_sound_tsan WORKING_DIRECTORY "${VEXMOOR_INSTALL_DIR}")
  set_tests_properties(sound_tsan PROPERTIES LABELS unit ENVIRONMENT "TSAN_OPTIONS=halt_on_error=1 second_deadlock_stack=1")
endif()
