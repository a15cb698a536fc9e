# add_unit_test(NAME SOURCES a.cpp b.cpp LIBS lib... LABELS unit|threaded|e2e... [TIMEOUT s])
# One test binary per group of behaviours; ctest runs each binary as one test.
# Label "threaded" marks suites that the ThreadSanitizer build runs too.
function(add_unit_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} fieldcast_test_support GTest::gtest GTest::gtest_main fieldcast_warnings)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "FIELDCAST_BINARY=$<TARGET_FILE_DIR:fieldcast>/fieldcast;FIELDCAST_TESTDATA=${CMAKE_SOURCE_DIR}/tests/data;FIELDCAST_SOURCE_DIR=${CMAKE_SOURCE_DIR};TSAN_OPTIONS=halt_on_error=1 second_deadlock_stack=1;ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1 halt_on_error=1")
endfunction()

# add_fuzz_target(NAME SOURCES a.cpp LIBS lib... [SECONDS n] [CORPUS dir])
# Each target runs for a short fixed time in the test command; crashes found once
# are kept under fuzz/regressions/NAME/ and replayed every run.
function(add_fuzz_target name)
  cmake_parse_arguments(F "" "SECONDS" "SOURCES;LIBS;CORPUS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS} fieldcast_warnings)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  if(NOT F_SECONDS)
    set(F_SECONDS 20)
  endif()
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
  add_test(NAME ${name}
    COMMAND ${CMAKE_SOURCE_DIR}/fuzz/run-fuzzer.sh $<TARGET_FILE:${name}> ${F_SECONDS} ${work}
            ${CMAKE_SOURCE_DIR}/fuzz/regressions/${name} ${F_CORPUS})
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 600)
endfunction()
