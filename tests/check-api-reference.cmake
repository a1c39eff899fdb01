# Generates the API reference and fails on any Doxygen warning: an undocumented
# class or function of an installed header, a broken link or picture.
# Arguments: -DDOXYGEN=<doxygen> -DDOXYFILE=<configured Doxyfile>
cmake_minimum_required(VERSION 3.25)
get_filename_component(dir "${DOXYFILE}" DIRECTORY)
execute_process(COMMAND "${DOXYGEN}" "${DOXYFILE}" WORKING_DIRECTORY "${dir}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE warnings)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "doxygen failed (${result}):\n${output}${warnings}")
endif()
string(STRIP "${warnings}" warnings)
if(NOT warnings STREQUAL "")
  string(REGEX MATCHALL "\n" lines "\n${warnings}")
  list(LENGTH lines count)
  message(FATAL_ERROR "${count} Doxygen warning lines:\n${warnings}")
endif()
message(STATUS "API reference without warnings: ${dir}/api/html/index.html")
