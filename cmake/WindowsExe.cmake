# The Windows program: the Win32 view and services over the portable core,
# with every picture, the icon, the hand cursor and the version embedded.
enable_language(RC)

file(GLOB VELMORA_WIN32_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/win32/*.cpp)

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

add_executable(velmora WIN32
  ${VELMORA_WIN32_SOURCES}
  ${CMAKE_SOURCE_DIR}/src/win32/velmora.rc
  ${CMAKE_BINARY_DIR}/pictures.rc)
set_target_properties(velmora PROPERTIES OUTPUT_NAME Velmora)
target_include_directories(velmora PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR})
target_compile_definitions(velmora PRIVATE UNICODE _UNICODE WINVER=0x0501 _WIN32_WINNT=0x0501)
target_compile_definitions(velmora_core PRIVATE WINVER=0x0501 _WIN32_WINNT=0x0501)
target_link_options(velmora PRIVATE
  -static -municode
  -Wl,--subsystem,windows:5.01
  -Wl,--major-os-version,5 -Wl,--minor-os-version,1)
target_link_libraries(velmora PRIVATE velmora_core gdiplus gdi32 user32 advapi32 ole32 oleaut32 uuid msimg32 comctl32)
