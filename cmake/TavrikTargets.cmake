# Helpers shared by every folder's CMakeLists.txt.

# Adds a folder when it has a CMakeLists.txt, so that folders join the build
# as they receive code without touching the top-level file.
function(tavrik_optional_subdirectory dir)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endfunction()

# Sanitizers (and, for fuzzing, the coverage instrumentation) apply to every
# target except those that set the target property TAVRIK_NO_SANITIZE (the
# crash-dump code owns the fault signals that the sanitizers would otherwise
# take, and the crash-dump library links with --no-undefined).
# TAVRIK_TSAN builds with ThreadSanitizer instead (the two cannot be combined).
function(tavrik_apply_sanitizers)
  if(TAVRIK_SANITIZE AND TAVRIK_TSAN)
    message(FATAL_ERROR "TAVRIK_SANITIZE and TAVRIK_TSAN exclude each other: choose one")
  endif()
  set(on "$<NOT:$<BOOL:$<TARGET_PROPERTY:TAVRIK_NO_SANITIZE>>>")
  if(TAVRIK_FUZZ)
    set(compile_flags -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    set(link_flags -fsanitize=address,undefined)
  elseif(TAVRIK_SANITIZE)
    set(compile_flags -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    set(link_flags ${compile_flags})
  elseif(TAVRIK_TSAN)
    set(compile_flags -fsanitize=thread -fno-omit-frame-pointer)
    set(link_flags ${compile_flags})
  else()
    return()
  endif()
  add_compile_options("$<${on}:${compile_flags}>")
  add_link_options("$<${on}:${link_flags}>")
endfunction()

# tavrik_library(name SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
# One static library per source folder; headers are included by their path
# from the project root ("platform/os/event.h").
function(tavrik_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
endfunction()

# tavrik_test_timeout(var): the ctest time-out in seconds for a test that
# asked for ${var} (120 when empty), scaled by TAVRIK_TEST_TIME_SCALE.
function(tavrik_test_timeout var)
  set(seconds ${${var}})
  if(NOT seconds)
    set(seconds 120)
  endif()
  math(EXPR seconds "${seconds} * ${TAVRIK_TEST_TIME_SCALE}")
  set(${var} ${seconds} PARENT_SCOPE)
endfunction()

# tavrik_test_precompiled_headers(name): the test programs share one
# precompiled header (GoogleTest and the standard headers that most tests
# include), made for the first test program and reused by every other one: they
# all build with the same flags. TAVRIK_TEST_PCH=OFF builds without it.
function(tavrik_test_precompiled_headers name)
  if(NOT TAVRIK_TEST_PCH)
    return()
  endif()
  # Some libraries' flags bring -pthread, which defines _REENTRANT; a header
  # precompiled without it is not used with it, so every test program has it.
  target_compile_options(${name} PRIVATE -pthread)
  get_property(owner GLOBAL PROPERTY TAVRIK_TEST_PCH_OWNER)
  if(owner)
    target_precompile_headers(${name} REUSE_FROM ${owner})
    return()
  endif()
  target_precompile_headers(${name} PRIVATE
    <gtest/gtest.h>
    <algorithm> <atomic> <chrono> <cstdint> <cstdlib> <filesystem> <fstream> <functional>
    <map> <memory> <optional> <set> <sstream> <string> <thread> <vector>)
  set_property(GLOBAL PROPERTY TAVRIK_TEST_PCH_OWNER ${name})
endfunction()

# tavrik_test(name LABEL area SOURCES ... [LIBS ...] [TIMEOUT s])
# One GoogleTest executable per area; every test case becomes a ctest test
# carrying the area's label, so `ctest -L area` runs that area alone.
# Tests run in a fresh per-process home folder (tests/support/test_main.cpp).
# TIMEOUT (120 s by default) is multiplied by TAVRIK_TEST_TIME_SCALE.
function(tavrik_test name)
  cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  tavrik_test_timeout(ARG_TIMEOUT)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tavrik_test_support GTest::gtest GTest::gmock)
  tavrik_test_precompiled_headers(${name})
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS "${ARG_LABEL}" TIMEOUT ${ARG_TIMEOUT})
endfunction()

# tavrik_benchmark(name SOURCES ... [LIBS ...]): built by default, never run by ctest.
function(tavrik_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# tavrik_fuzzer(name SOURCES ... [LIBS ...]): libFuzzer targets, clang only;
# each joins the target tavrik_fuzzers when it is there.
function(tavrik_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  if(TARGET tavrik_fuzzers)
    add_dependencies(tavrik_fuzzers ${name})
  endif()
endfunction()

# Where the program and everything beside it is installed: one program folder
# under the prefix (relative: under the prefix); packaging/ adds the commands
# on the PATH that start what is in it.
include(GNUInstallDirs)
set(TAVRIK_INSTALL_DIR lib/tavrik CACHE STRING "The program folder (relative: under the prefix)")

# tavrik_copy_beside_program(target folder): copies every file of the source
# folder `folder` (recursively, except its CMakeLists.txt and README.md) to
# bin/<folder> in the build tree, where the program and the tests find it,
# through the target `target` (built by default), and installs them beside
# the installed program; files added to the folder later are picked up at
# the next configure.
function(tavrik_copy_beside_program target folder)
  set(source ${PROJECT_SOURCE_DIR}/${folder})
  file(GLOB_RECURSE files CONFIGURE_DEPENDS RELATIVE ${source} ${source}/*)
  list(REMOVE_ITEM files CMakeLists.txt README.md)
  set(outputs "")
  foreach(file ${files})
    set(output ${CMAKE_BINARY_DIR}/bin/${folder}/${file})
    add_custom_command(
      OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source}/${file} ${output}
      DEPENDS ${source}/${file}
      COMMENT "Copying ${folder}/${file}")
    list(APPEND outputs ${output})
  endforeach()
  add_custom_target(${target} ALL DEPENDS ${outputs})
  install(DIRECTORY ${source}/
    DESTINATION ${TAVRIK_INSTALL_DIR}/${folder}
    PATTERN CMakeLists.txt EXCLUDE
    PATTERN README.md EXCLUDE)
endfunction()
