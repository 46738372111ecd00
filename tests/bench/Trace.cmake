# VelmoraTrace.exe: Velmora with its services wrapped so that each call is
# timed (tests/bench/TraceMain.cpp); the benchmark reads where the time of
# each screen switch goes from it.
add_executable(velmora_trace WIN32 EXCLUDE_FROM_ALL
  ${CMAKE_SOURCE_DIR}/tests/bench/TraceMain.cpp
  ${CMAKE_SOURCE_DIR}/tests/bench/Layout.cpp
  ${CMAKE_SOURCE_DIR}/src/win32/velmora.rc
  ${CMAKE_BINARY_DIR}/pictures.rc)
set_target_properties(velmora_trace PROPERTIES OUTPUT_NAME VelmoraTrace)
target_include_directories(velmora_trace PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
target_compile_definitions(velmora_trace PRIVATE UNICODE _UNICODE)
target_link_options(velmora_trace PRIVATE -static -municode)
target_link_libraries(velmora_trace PRIVATE velmora_win32)
