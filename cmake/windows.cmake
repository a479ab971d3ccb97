# Windows programs, cross-built with mingw-w64 (see cmake/mingw-w64.cmake).
set(VEXMOOR_WIN_DEPS "${CMAKE_SOURCE_DIR}/build/deps/win64" CACHE PATH
    "Prefix of the Windows libogg/libvorbis build made by tools/setup.sh")

find_library(VORBISFILE_LIB vorbisfile PATHS "${VEXMOOR_WIN_DEPS}/lib" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_library(VORBIS_LIB vorbis PATHS "${VEXMOOR_WIN_DEPS}/lib" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_library(OGG_LIB ogg PATHS "${VEXMOOR_WIN_DEPS}/lib" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
add_library(vorbisfile_win INTERFACE)
target_include_directories(vorbisfile_win INTERFACE "${VEXMOOR_WIN_DEPS}/include")
target_link_libraries(vorbisfile_win INTERFACE ${VORBISFILE_LIB} ${VORBIS_LIB} ${OGG_LIB})

set(VEXMOOR_WIN_SYSTEM_LIBS
    opengl32 gdi32 gdiplus d3d9 d3dx9 dinput8 dsound dxguid winmm dbghelp
    user32 shell32 shlwapi ole32 oleaut32 uuid)

add_compile_definitions(NOMINMAX _WIN32_WINNT=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)

# Shared code, compiled once for both programs.
add_library(vexmoor_shared STATIC ${VEXMOOR_EMPTY_SOURCE} ${VEXMOOR_NEUTRAL_SOURCES} ${VEXMOOR_WIN32_SOURCES})
vexmoor_project_target(vexmoor_shared)
target_link_libraries(vexmoor_shared PUBLIC vorbisfile_win ${VEXMOOR_WIN_SYSTEM_LIBS})

# One library per back-end: shared code + that back-end (static-lib link order
# is resolved by CMake's repeated link of the pair).
add_library(vexmoor_gl_lib STATIC ${VEXMOOR_EMPTY_SOURCE} ${VEXMOOR_GL_SOURCES})
vexmoor_project_target(vexmoor_gl_lib)
target_compile_definitions(vexmoor_gl_lib PUBLIC VEXMOOR_BACKEND_GL)
target_link_libraries(vexmoor_gl_lib PUBLIC vexmoor_shared)
set_target_properties(vexmoor_shared vexmoor_gl_lib PROPERTIES LINK_INTERFACE_MULTIPLICITY 3)

add_library(vexmoor_d3d_lib STATIC ${VEXMOOR_EMPTY_SOURCE} ${VEXMOOR_D3D9_SOURCES})
vexmoor_project_target(vexmoor_d3d_lib)
target_compile_definitions(vexmoor_d3d_lib PUBLIC VEXMOOR_BACKEND_D3D9)
target_link_libraries(vexmoor_d3d_lib PUBLIC vexmoor_shared)
set_target_properties(vexmoor_d3d_lib PROPERTIES LINK_INTERFACE_MULTIPLICITY 3)

file(MAKE_DIRECTORY "${VEXMOOR_INSTALL_DIR}")
if(EXISTS "${VEXMOOR_ENTRY_SOURCE}")
  add_executable(vexmoor_gl WIN32 ${VEXMOOR_ENTRY_SOURCE})
  vexmoor_project_target(vexmoor_gl)
  target_link_libraries(vexmoor_gl PRIVATE vexmoor_gl_lib vexmoor_shared vexmoor_gl_lib)
  set_target_properties(vexmoor_gl PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${VEXMOOR_INSTALL_DIR}")
  if(VEXMOOR_D3D9_SOURCES)
    add_executable(vexmoor_d3d WIN32 ${VEXMOOR_ENTRY_SOURCE})
    vexmoor_project_target(vexmoor_d3d)
    target_link_libraries(vexmoor_d3d PRIVATE vexmoor_d3d_lib vexmoor_shared vexmoor_d3d_lib)
    set_target_properties(vexmoor_d3d PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${VEXMOOR_INSTALL_DIR}")
  endif()
endif()

# Windows test programs: each tests/win32/*.cpp is a console program run
# under Wine by the scripts in tests/wine/; those named d3d_*.cpp draw
# through the Direct3D back-end, the others through OpenGL.
file(GLOB VEXMOOR_WIN_TEST_SOURCES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/win32/*.cpp")
foreach(src IN LISTS VEXMOOR_WIN_TEST_SOURCES)
  get_filename_component(name "${src}" NAME_WE)
  set(backend_lib vexmoor_gl_lib)
  if(name MATCHES "^d3d_")
    set(backend_lib vexmoor_d3d_lib)
  endif()
  add_executable(${name} ${src})
  vexmoor_project_target(${name})
  target_link_libraries(${name} PRIVATE ${backend_lib} vexmoor_shared ${backend_lib})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
endforeach()
