# Fails when a source below the programs includes a Qt header.
file(GLOB_RECURSE sources
     ${ROOT}/xml/*.h ${ROOT}/xml/*.cpp ${ROOT}/biz/*.h ${ROOT}/biz/*.cpp
     ${ROOT}/sync/*.h ${ROOT}/sync/*.cpp ${ROOT}/connection/*.h ${ROOT}/connection/*.cpp ${ROOT}/platform/*.h ${ROOT}/platform/*.cpp
     ${ROOT}/testing/*.h ${ROOT}/testing/*.cpp)
set(offenders "")
foreach(f ${sources})
  if(f MATCHES "/ui/qt/" OR f MATCHES "/testing/qt/")
    continue()
  endif()
  file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]+|Qt[A-Za-z]*/)")
  if(lines)
    list(APPEND offenders "${f}")
  endif()
endforeach()
if(offenders)
  message(FATAL_ERROR "Qt included below the programs: ${offenders}")
endif()
message(STATUS "core is free of Qt")
