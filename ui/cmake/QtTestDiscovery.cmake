# quillmar_qt_discover_tests(TARGET [LABELS label...] [TIMEOUT seconds] [ENVIRONMENT var=value...])
# Registers one CTest entry per test function of a Qt Test program, named TARGET.function and
# running only that function, so a failure names its case. As gtest_discover_tests does in
# PRE_TEST mode, the functions are listed (TARGET -functions) when ctest starts and the
# program is newer than the last list.
function(quillmar_qt_discover_tests target)
  cmake_parse_arguments(Q "" "TIMEOUT" "LABELS;ENVIRONMENT" ${ARGN})
  set(base "${CMAKE_CURRENT_BINARY_DIR}/${target}_qttests")
  set(tests_file "${base}_tests.cmake")
  set(properties "")
  if(Q_LABELS)
    string(APPEND properties " LABELS [==[${Q_LABELS}]==]")
  endif()
  if(Q_TIMEOUT)
    string(APPEND properties " TIMEOUT ${Q_TIMEOUT}")
  endif()
  if(Q_ENVIRONMENT)
    string(APPEND properties " ENVIRONMENT [==[${Q_ENVIRONMENT}]==]")
  endif()
  string(CONCAT content
    "if(EXISTS \"$<TARGET_FILE:${target}>\")\n"
    "  if(NOT EXISTS \"${tests_file}\" OR NOT \"${tests_file}\" IS_NEWER_THAN \"$<TARGET_FILE:${target}>\"\n"
    "     OR NOT \"${tests_file}\" IS_NEWER_THAN \"\${CMAKE_CURRENT_LIST_FILE}\")\n"
    "    set(QT_TEST_NAME [==[${target}]==])\n"
    "    set(QT_TEST_EXECUTABLE [==[$<TARGET_FILE:${target}>]==])\n"
    "    set(QT_TEST_ENVIRONMENT [==[${Q_ENVIRONMENT}]==])\n"
    "    set(QT_TEST_PROPERTIES [===[${properties}]===])\n"
    "    set(QT_TEST_CMAKE [==[${CMAKE_COMMAND}]==])\n"
    "    set(QT_TEST_FILE [==[${tests_file}]==])\n"
    "    include([==[${CMAKE_CURRENT_FUNCTION_LIST_DIR}/QtTestList.cmake]==])\n"
    "  endif()\n"
    "  include(\"${tests_file}\")\n"
    "else()\n"
    "  add_test(${target}_NOT_BUILT ${target}_NOT_BUILT)\n"
    "endif()\n")
  file(GENERATE OUTPUT "${base}_include.cmake" CONTENT "${content}")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${base}_include.cmake")
endfunction()
