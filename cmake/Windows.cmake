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

include(cmake/Tests.cmake)

add_subdirectory(framework)
add_subdirectory(device)
add_subdirectory(device/channel)
add_subdirectory(standins)
add_subdirectory(office)
# The packed skins, before the libraries and programs that carry them.
add_subdirectory(tools/skinkit)
add_subdirectory(grid)
add_subdirectory(skin/engine)
add_subdirectory(skin/toolcontrols)
add_subdirectory(skin/windows)
add_subdirectory(configtool)
add_subdirectory(manager)
add_subdirectory(tests)
