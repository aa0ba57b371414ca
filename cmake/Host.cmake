# Host tree: the simulated extender, and the code that needs no Win32 built with
# AddressSanitizer and UndefinedBehaviorSanitizer.
add_compile_options(-Wall -Wextra)
# Lightly optimised: the randomized runs under the sanitizers take a third
# of the time they take unoptimised, and the simulator answers sooner; the
# sanitizers and debug information stay as they are.
add_compile_options(-O1)
set(PROJECT_ROOT ${CMAKE_CURRENT_SOURCE_DIR})

find_package(GTest REQUIRED)
include(cmake/Tests.cmake)

set(SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g)

add_subdirectory(framework)
add_subdirectory(device)
add_subdirectory(manager)
add_subdirectory(skin/engine)
add_subdirectory(tools/extender-sim)
add_subdirectory(tools/skinkit)
add_subdirectory(tests)
