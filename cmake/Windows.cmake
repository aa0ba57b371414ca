# Windows tree: static executables, sources in UTF-8, narrow literals stored as
# code page 936 bytes. GB18030 is named rather than GBK because it encodes every
# character that GBK (code page 936) has with the same bytes, and also encodes
# the few that GBK lacks, such as the micro sign in the C++20 <chrono> header,
# which GBK cannot compile.
add_compile_options(-Wall -Wextra -finput-charset=UTF-8)
# GCC 12 reports string concatenations such as "a" + std::string(...) as
# overlapping copies of 2^63 bytes (a known false positive of its inliner).
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-Wno-restrict>)
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=GB18030>)
# The build uses precompiled headers (below); a header that no longer matches
# its file's options is reported instead of being parsed again unnoticed.
# GCC 12 does not keep the diagnostic pragmas of a precompiled header, and the
# standard library's character traits turn off, with such pragmas, warnings
# that GCC 12 gives wrongly for string copies (bounds of 2^63 bytes, offsets
# past a literal): they are turned off here instead.
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-Winvalid-pch>
  $<$<COMPILE_LANGUAGE:CXX>:-Wno-stringop-overflow>
  $<$<COMPILE_LANGUAGE:CXX>:-Wno-stringop-overread>
  $<$<COMPILE_LANGUAGE:CXX>:-Wno-array-bounds>)
add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN UNICODE _UNICODE _WIN32_WINNT=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)

set(PROJECT_ROOT ${CMAKE_CURRENT_SOURCE_DIR})
set(DEPS_PREFIX ${PROJECT_ROOT}/build/deps/mingw CACHE PATH "Cross-built dependencies")

# zlib comes from the distribution's mingw package.
find_library(ZLIB_STATIC NAMES libz.a z REQUIRED)
find_path(ZLIB_INCLUDE zlib.h REQUIRED)
add_library(deps_zlib INTERFACE)
target_link_libraries(deps_zlib INTERFACE ${ZLIB_STATIC})
target_include_directories(deps_zlib SYSTEM INTERFACE ${ZLIB_INCLUDE})

# libjpeg-turbo is built static by scripts/deps.sh into DEPS_PREFIX.
add_library(deps_jpeg STATIC IMPORTED)
set_target_properties(deps_jpeg PROPERTIES
  IMPORTED_LOCATION ${DEPS_PREFIX}/lib/libjpeg.a
  INTERFACE_INCLUDE_DIRECTORIES ${DEPS_PREFIX}/include)

# GoogleTest from the distribution's source package, built with the cross compiler.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# The tests' own code, and GoogleTest, are compiled with light optimisation:
# -O1 takes about half the time of -O3 for these files, and the code under
# test keeps the flags of its libraries. (-O0 saves no time in the unity
# builds, and an unoptimised GoogleTest makes each test program's link about
# eight times slower.)
set(TEST_COMPILE_OPTIONS -O1)
foreach(lib gtest gtest_main gmock gmock_main)
  target_compile_options(${lib} PRIVATE ${TEST_COMPILE_OPTIONS})
endforeach()

include(cmake/Unity.cmake)
include(cmake/Tests.cmake)

add_subdirectory(framework)
add_subdirectory(device)
add_subdirectory(device/channel)
add_subdirectory(standins)
add_subdirectory(visuals)
add_subdirectory(office)
# The packed skins, before the libraries and programs that carry them.
add_subdirectory(tools/skinkit)
add_subdirectory(grid)
add_subdirectory(skin/engine)
add_subdirectory(skin/toolcontrols)
add_subdirectory(skin/windows)
add_subdirectory(configtool)
add_subdirectory(manager)

# Precompiled headers. Most of the compile time of a file goes to the headers
# that nearly every file includes: windows.h, the standard library, the
# framework's controls and forms, the grid's class (about 2 s a file). The
# framework's set serves the libraries above it, which are built with the same
# options; the grid has its own; the tests share two sets (tests/CMakeLists.txt).
set(PCH_SYSTEM <windows.h> <algorithm> <cstring> <functional> <map> <memory> <string> <vector>)
set(PCH_FRAMEWORK [["framework/Codepage.h"]] [["framework/Application.h"]] [["framework/Form.h"]])
target_precompile_headers(framework PRIVATE ${PCH_SYSTEM} ${PCH_FRAMEWORK})
foreach(lib device device_channel visuals office manager configtool skin_engine skin_windows skin_toolcontrols)
  if(TARGET ${lib})
    target_precompile_headers(${lib} REUSE_FROM framework)
  endif()
endforeach()
if(TARGET grid)
  target_precompile_headers(grid PRIVATE ${PCH_SYSTEM} ${PCH_FRAMEWORK} [["grid/core/ProGrid.h"]])
endif()

# The libraries in unity builds (cmake/Unity.cmake).
unity_build(framework SKIP framework/Screen.cpp framework/Stream.cpp framework/StringList.cpp)
unity_build(grid SKIP grid/core/GridTextEscapes.cpp grid/core/HtmlRenderHelpers.cpp
  grid/interaction/GridClipboard.cpp grid/interaction/GridStreams.cpp grid/interaction/ProGridFocus.cpp)
unity_build(office SKIP office/OfficeColors.cpp office/ProGlowButtonPaint.cpp office/ProOfficePagerLayout.cpp)
# The stored skins' resource reader stays a unit of its own: the start
# benchmark's builds of the programs link their own in its place.
unity_build(skin_engine SKIP skin/engine/qSkinOptions.cpp skin/engine/zqSkinPack.cpp
  skin/engine/qStoredSkinResources.cpp)
foreach(lib device visuals manager configtool ZNetAdv)
  unity_build(${lib})
endforeach()

add_subdirectory(tests)
