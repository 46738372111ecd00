# The Windows program: the Win32 services and view (a library of its own
# over the framework), and the exe, whose entry point runs the program on
# them, with every picture, the icon, the hand cursor, the version and the
# application manifest embedded.
enable_language(RC)

velmora_layer(velmora_win32 FOLDERS win32 EXCLUDE win32/WinMain.cpp BELOW velmora_program)
target_compile_definitions(velmora_win32 PRIVATE UNICODE _UNICODE)
# PNG pictures are decoded by stb_image, vendored with its licence.
target_include_directories(velmora_win32 PRIVATE ${CMAKE_SOURCE_DIR}/third_party/stb)
target_link_libraries(velmora_win32 PUBLIC gdi32 user32 advapi32 ole32 oleaut32 uuid msimg32 oleacc)

# One RCDATA resource per picture: assets/<screen>/<name>.png becomes the
# resource SCREEN_NAME, which the view looks up by the picture's id.
file(GLOB VELMORA_PICTURES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/*/*.png)
set(pictures_rc "")
foreach(png ${VELMORA_PICTURES})
  get_filename_component(name ${png} NAME_WE)
  get_filename_component(dir ${png} DIRECTORY)
  get_filename_component(screen ${dir} NAME)
  string(TOUPPER "${screen}_${name}" resname)
  string(APPEND pictures_rc "${resname} RCDATA \"${png}\"\n")
endforeach()
file(WRITE ${CMAKE_BINARY_DIR}/pictures.rc.in "${pictures_rc}")
configure_file(${CMAKE_BINARY_DIR}/pictures.rc.in ${CMAKE_BINARY_DIR}/pictures.rc COPYONLY)
# The script names the pictures; a redrawn picture must rebuild it too.
set_source_files_properties(${CMAKE_BINARY_DIR}/pictures.rc PROPERTIES OBJECT_DEPENDS "${VELMORA_PICTURES}")

# The application manifest names the exe's processor architecture: a 64-bit
# exe that claims x86 would not start on 64-bit Windows.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(VELMORA_MANIFEST_ARCH amd64)
else()
  set(VELMORA_MANIFEST_ARCH x86)
endif()
configure_file(${CMAKE_SOURCE_DIR}/src/win32/Velmora.manifest.in ${CMAKE_BINARY_DIR}/Velmora.manifest @ONLY)
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/win32/velmora.rc PROPERTIES
  OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/Velmora.manifest)

add_executable(velmora WIN32
  ${CMAKE_SOURCE_DIR}/src/win32/WinMain.cpp
  ${CMAKE_SOURCE_DIR}/src/win32/velmora.rc
  ${CMAKE_BINARY_DIR}/pictures.rc)
set_target_properties(velmora PROPERTIES OUTPUT_NAME Velmora)
target_include_directories(velmora PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
target_compile_definitions(velmora PRIVATE UNICODE _UNICODE WINVER=0x0501 _WIN32_WINNT=0x0501)
target_link_options(velmora PRIVATE
  -static -municode
  -Wl,--subsystem,windows:5.01
  -Wl,--major-os-version,5 -Wl,--minor-os-version,1
  # The same sources give the same exe: no link time in the PE header.
  -Wl,--no-insert-timestamp)
target_link_libraries(velmora PRIVATE velmora_win32)

# The benchmark's trace build (`cmake --build --preset x86_64 --target
# velmora_trace`): the same program with every service call timed; never
# part of the release.
include(${CMAKE_SOURCE_DIR}/tests/bench/Trace.cmake)
