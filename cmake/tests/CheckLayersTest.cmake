# The layering check itself, on a small tree with known faults (tests/layering): it must fail,
# name each fault, and leave what is allowed alone.
#   cmake -DCHECK=<CheckLayers.cmake> -DFIXTURE=<tree> -P CheckLayersTest.cmake
execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${FIXTURE} -P ${CHECK}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(result EQUAL 0)
  message(FATAL_ERROR "the layering check passed a tree with faults:\n${output}")
endif()
set(expected
  "platform/Faulty.h: includes <QString>"
  "platform/Faulty.h: includes \"biz/DataHelper.h\""
  "device/Faulty.cpp: includes \"desktop/MainFrame.h\""
  "connection/Faulty.cpp: includes \"biz/Client.h\""
  "biz/Faulty.cmake: brings in Qt")
foreach(fault IN LISTS expected)
  string(FIND "${output}" "${fault}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the layering check did not report ${fault}:\n${output}")
  endif()
endforeach()
string(FIND "${output}" "sync/Allowed.cpp" at)
if(NOT at EQUAL -1)
  message(FATAL_ERROR "the layering check reported an allowed include:\n${output}")
endif()
message(STATUS "the layering check reports every fault of the fixture")
