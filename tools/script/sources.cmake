# The script runner, shared by otcull and the Windows harness: standard C++
# only. Include this file and compile TARVO_SCRIPT_SOURCES with
# TARVO_SCRIPT_INCLUDE_DIRS (the runner reads the command table in src/).
set(TARVO_SCRIPT_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/../../src/text/number_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/camera_math.cpp
  ${CMAKE_CURRENT_LIST_DIR}/script_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/line_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/script_syntax.cpp
  ${CMAKE_CURRENT_LIST_DIR}/script_runner.cpp)
set(TARVO_SCRIPT_INCLUDE_DIRS
  ${CMAKE_CURRENT_LIST_DIR}
  ${CMAKE_CURRENT_LIST_DIR}/../../src
  ${CMAKE_CURRENT_LIST_DIR}/../../include)
