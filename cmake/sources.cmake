# Source sets by folder convention, so a new file needs no list edits:
#   <sub>/**/*.cpp      platform-neutral, built natively and for Windows
#   <sub>/win32/*.cpp   Windows only
#   <sub>/native/*.cpp  native (Linux) stand-ins for the Windows-only files
#   render/gl, render/d3d9, render/null: the three render back-ends
#   app/win32/win_main.cpp is the program entry and links only into programs.
set(VEXMOOR_SUBSYSTEMS core app render game ui sound)

set(VEXMOOR_NEUTRAL_SOURCES)
set(VEXMOOR_WIN32_SOURCES)
set(VEXMOOR_NATIVE_SOURCES)
foreach(sub IN LISTS VEXMOOR_SUBSYSTEMS)
  # Neutral files may sit in subsystem folders (game/terrain/, game/ai/, ...);
  # win32/, native/ and the render back-ends are picked out below.
  file(GLOB_RECURSE s RELATIVE "${CMAKE_SOURCE_DIR}" CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${sub}/*.cpp")
  list(FILTER s EXCLUDE REGEX "(^|/)(win32|native)/")
  list(FILTER s EXCLUDE REGEX "^render/(gl|d3d9|null)/")
  list(TRANSFORM s PREPEND "${CMAKE_SOURCE_DIR}/")
  list(APPEND VEXMOOR_NEUTRAL_SOURCES ${s})
  # win32/ and native/ folders count at any depth (game/terrain/win32/ too).
  file(GLOB_RECURSE s RELATIVE "${CMAKE_SOURCE_DIR}" CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${sub}/*.cpp")
  list(TRANSFORM s PREPEND "${CMAKE_SOURCE_DIR}/" OUTPUT_VARIABLE w)
  list(FILTER w INCLUDE REGEX "^${CMAKE_SOURCE_DIR}/${sub}/(.*/)?win32/[^/]*\\.cpp$")
  list(APPEND VEXMOOR_WIN32_SOURCES ${w})
  list(TRANSFORM s PREPEND "${CMAKE_SOURCE_DIR}/")
  list(FILTER s INCLUDE REGEX "^${CMAKE_SOURCE_DIR}/${sub}/(.*/)?native/[^/]*\\.cpp$")
  list(APPEND VEXMOOR_NATIVE_SOURCES ${s})
endforeach()
list(FILTER VEXMOOR_WIN32_SOURCES EXCLUDE REGEX "/app/win32/win_main\\.cpp$")
set(VEXMOOR_ENTRY_SOURCE "${CMAKE_SOURCE_DIR}/app/win32/win_main.cpp")

file(GLOB VEXMOOR_GL_SOURCES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/render/gl/*.cpp")
file(GLOB VEXMOOR_D3D9_SOURCES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/render/d3d9/*.cpp")
file(GLOB VEXMOOR_NULL_SOURCES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/render/null/*.cpp")

set(VEXMOOR_WARNINGS -Wall -Wextra -Werror)

# An empty source keeps a library valid while its folders are still empty.
set(VEXMOOR_EMPTY_SOURCE "${CMAKE_SOURCE_DIR}/cmake/empty.cpp")

function(vexmoor_project_target target)
  target_include_directories(${target} PUBLIC "${CMAKE_SOURCE_DIR}")
  target_compile_options(${target} PRIVATE ${VEXMOOR_WARNINGS})
endfunction()
