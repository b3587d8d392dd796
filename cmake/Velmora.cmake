# Helpers shared by the folders' CMakeLists.

# velmora_test(NAME SOURCES... LIBS ...): a GoogleTest executable registered with CTest.
# Tests run with the headless backend and from the runtime folder, where the data files lie.
function(velmora_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${VELMORA_RUNTIME_DIR}
    PROPERTIES ENVIRONMENT "VELMORA_BACKEND=headless" TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}"
    DISCOVERY_TIMEOUT 60)
endfunction()

# velmora_benchmark(NAME SOURCES... LIBS ...): a Google Benchmark executable (not run by CTest).
function(velmora_benchmark name)
  if(NOT VELMORA_BENCHMARKS)
    return()
  endif()
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES} ${B_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark Threads::Threads)
endfunction()
