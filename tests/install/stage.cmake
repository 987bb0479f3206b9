# Installs the build into a fresh staging folder, as a packager would:
#   cmake -DBUILD=<build tree> -DSTAGE=<folder> -DPREFIX=/usr -P stage.cmake
file(REMOVE_RECURSE "${STAGE}")
set(ENV{DESTDIR} "${STAGE}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
