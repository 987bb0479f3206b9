# Compiles `#include <HEADER>` with the include directories INCLUDES and checks
# the outcome: EXPECT is "compiles" or "refused" (the header is not found).
file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/probe.cpp" "#include <${HEADER}>\n")
set(flags -std=c++20 -fsyntax-only)
foreach(dir IN LISTS INCLUDES)
  list(APPEND flags "-I${dir}")
endforeach()
execute_process(COMMAND "${COMPILER}" ${flags} "${WORK}/probe.cpp"
                RESULT_VARIABLE status ERROR_VARIABLE errors OUTPUT_QUIET)
if(EXPECT STREQUAL "compiles")
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "<${HEADER}> should compile here:\n${errors}")
  endif()
elseif(status EQUAL 0)
  message(FATAL_ERROR "<${HEADER}> compiled, but this layer must not see it")
elseif(NOT errors MATCHES "No such file or directory")
  message(FATAL_ERROR "<${HEADER}> failed for another reason than being out of reach:\n${errors}")
endif()
