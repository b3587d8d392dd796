# Helpers shared by the folders' CMakeLists.

# A test that hangs fails after its timeout instead of holding the run up: each test case may
# take VELMORA_TEST_TIMEOUT seconds. A suite whose cases legitimately take longer states its own
# TIMEOUT, and no suite gets more than VELMORA_MAX_TEST_TIMEOUT.
set(VELMORA_TEST_TIMEOUT 60)
set(VELMORA_MAX_TEST_TIMEOUT 120)

# velmora_test(NAME SOURCES... LIBS ... [TIMEOUT seconds]): a GoogleTest executable registered
# with CTest. Tests run with the headless backend and from the runtime folder, where the data
# files lie.
function(velmora_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  # The waits every suite shares (tests/support).
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT ${VELMORA_TEST_TIMEOUT})
  endif()
  if(T_TIMEOUT GREATER VELMORA_MAX_TEST_TIMEOUT)
    message(FATAL_ERROR "${name}: a timeout of ${T_TIMEOUT} s; at most ${VELMORA_MAX_TEST_TIMEOUT} s, so that a "
                        "hanging test cannot hold the run up")
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
