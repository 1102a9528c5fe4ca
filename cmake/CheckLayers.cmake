# The layering check: fails, naming every offending file and include, when a folder includes
# what it must not. Run as a test: cmake -DROOT=<source tree> -P CheckLayers.cmake
#
# The rules, from the bottom up:
#   - platform/, xml/, biz/, sync/, connection/, res/ and testing/ include nothing of Qt and their
#     CMake files bring none in;
#   - platform/ includes nothing of the folders above it, xml/ nothing above platform/ (test
#     support from testing/ aside);
#   - connection/ knows no records: nothing of biz/ or sync/;
#   - sync/ and ui/ include nothing of the programs (desktop/, device/);
#   - the programs include nothing of each other.
cmake_minimum_required(VERSION 3.25)

if(NOT ROOT)
  message(FATAL_ERROR "usage: cmake -DROOT=<source tree> -P CheckLayers.cmake")
endif()

set(qt_free_folders platform xml biz sync connection res testing)

# A folder's forbidden include prefixes (includes are written from the repository root).
set(forbidden_platform xml/ biz/ sync/ connection/ res/ ui/ desktop/ device/)
set(forbidden_xml biz/ sync/ connection/ res/ ui/ desktop/ device/)
set(forbidden_connection biz/ sync/ ui/ desktop/ device/)
set(forbidden_sync desktop/ device/ ui/)
set(forbidden_ui desktop/ device/)
set(forbidden_desktop device/)
set(forbidden_device desktop/)
set(checked_folders platform xml connection sync ui desktop device)

set(problems "")

# The includes of one file, as "<header>" or "\"header\"" entries.
function(includes_of file out)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  set(found "")
  foreach(line IN LISTS lines)
    if(line MATCHES "#[ \t]*include[ \t]*([<\"][^>\"]+[>\"])")
      list(APPEND found "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

function(sources_below folder out)
  file(GLOB_RECURSE found LIST_DIRECTORIES false
       "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.hpp" "${ROOT}/${folder}/*.cpp" "${ROOT}/${folder}/*.cc"
       "${ROOT}/${folder}/*.inc")
  list(SORT found)
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

foreach(folder IN LISTS qt_free_folders)
  sources_below(${folder} files)
  foreach(file IN LISTS files)
    file(RELATIVE_PATH name "${ROOT}" "${file}")
    includes_of("${file}" includes)
    foreach(include IN LISTS includes)
      if(include MATCHES "^<(Q[A-Za-z0-9_]+|Qt[A-Za-z0-9_]*/.*)>$")
        list(APPEND problems "${name}: includes ${include} (${folder}/ is free of Qt)")
      endif()
    endforeach()
  endforeach()
  file(GLOB_RECURSE cmake_files LIST_DIRECTORIES false "${ROOT}/${folder}/CMakeLists.txt" "${ROOT}/${folder}/*.cmake")
  list(SORT cmake_files)
  foreach(file IN LISTS cmake_files)
    file(RELATIVE_PATH name "${ROOT}" "${file}")
    file(STRINGS "${file}" qt_lines REGEX "Qt6|Qt5|Qt::")
    foreach(line IN LISTS qt_lines)
      string(STRIP "${line}" line)
      list(APPEND problems "${name}: brings in Qt: ${line} (${folder}/ is free of Qt)")
    endforeach()
  endforeach()
endforeach()

foreach(folder IN LISTS checked_folders)
  sources_below(${folder} files)
  foreach(file IN LISTS files)
    file(RELATIVE_PATH name "${ROOT}" "${file}")
    includes_of("${file}" includes)
    foreach(include IN LISTS includes)
      foreach(prefix IN LISTS forbidden_${folder})
        string(FIND "${include}" "\"${prefix}" at)
        if(at EQUAL 0)
          list(APPEND problems "${name}: includes ${include} (${folder}/ includes nothing of ${prefix})")
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()

if(problems)
  list(LENGTH problems count)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "layering check: ${count} include(s) break the layers:\n  ${text}\n")
endif()
message(STATUS "layering check: every folder includes only what lies below it")
