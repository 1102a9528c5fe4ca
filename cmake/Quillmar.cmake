# quillmar_test(NAME SOURCES... LIBS ...): a GoogleTest executable registered with CTest.
# Label "lib" marks the tests the sanitizer run repeats.
function(quillmar_test name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL)
    set(T_LABEL lib)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS ${T_LABEL} TIMEOUT 300)
endfunction()
