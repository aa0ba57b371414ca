# Host tree: the simulated extender, and the code that needs no Win32 built with
# AddressSanitizer and UndefinedBehaviorSanitizer.
add_compile_options(-Wall -Wextra)
# Lightly optimised: the randomized runs under the sanitizers take a third
# of the time they take unoptimised, and the simulator answers sooner; the
# sanitizers and debug information stay as they are.
add_compile_options(-O1)
# The tests' own code is not optimised: most of its compile time went to
# optimising the expanded checks (under the sanitizers, more than half of a test
# file's time), which run only a few times. The code under test keeps -O1,
# also where a test program builds a library's source itself.
set(TEST_COMPILE_OPTIONS -O0)
set(LIBRARY_SOURCE_OPTIONS -O1)
set(PROJECT_ROOT ${CMAKE_CURRENT_SOURCE_DIR})

find_package(GTest REQUIRED)
include(cmake/Unity.cmake)
include(cmake/Tests.cmake)

set(SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g)

add_subdirectory(framework)
add_subdirectory(device)
add_subdirectory(manager)
add_subdirectory(skin/engine)
add_subdirectory(tools/extender-sim)
add_subdirectory(tools/skinkit)
# The libraries in unity builds (cmake/Unity.cmake).
unity_build(framework_host SKIP framework/StringList.cpp)
foreach(lib device_host skin_engine_host extender_sim_model)
  unity_build(${lib})
endforeach()
add_subdirectory(tests)
