# The manual check itself, on a small manual with known faults (tests/manual): it must fail,
# name each fault, and leave the sound links alone.
#   cmake -DCHECK=<CheckManual.cmake> -DFIXTURE=<folder> -P CheckManualTest.cmake
execute_process(COMMAND ${CMAKE_COMMAND} -DMANUAL=${FIXTURE} "-DPAGES=index.html;faq.html;history.html"
                        -P ${CHECK}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(result EQUAL 0)
  message(FATAL_ERROR "the manual check passed a manual with faults:\n${output}")
endif()
set(expected
  "history.html: missing"
  "index.html: links outside the manual: https://cdn.invalid/style.css"
  "index.html: broken link gone.html"
  "index.html: no anchor for faq.html#nowhere"
  "orphan.html: not linked from index.html")
foreach(fault IN LISTS expected)
  string(FIND "${output}" "${fault}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the manual check did not report ${fault}:\n${output}")
  endif()
endforeach()
foreach(sound "faq.html#answer" "#top" "index.html#top" "link faq.html\n" "faq.html: not linked")
  string(FIND "${output}" "${sound}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "the manual check reported a sound link (${sound}):\n${output}")
  endif()
endforeach()
message(STATUS "the manual check reports every fault of the fixture")
