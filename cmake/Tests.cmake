# One CTest entry per test executable. Windows test executables run through the
# Wine wrapper (CMAKE_CROSSCOMPILING_EMULATOR); GUI tests need the display that
# ./test provides.
#
# SHARDS n splits a long program into n entries, each running every n-th of its
# test cases (GoogleTest's sharding), so that the parts run side by side; most
# of these programs' time is spent waiting for the device's time-outs. The
# entries are NAME.1 to NAME.n.
#
# GUI tests (label gui) each take one GUI slot: a display, Wine prefix and
# folder of their own that ./test prepares (see cmake/wine-run), so that
# several run side by side without seeing each other's windows or files.
function(project_test name)
  cmake_parse_arguments(T "" "TIMEOUT;SHARDS" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  unity_build(${name})
  if(TARGET GTest::gtest)
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gmock)
  endif()
  target_compile_options(${name} PRIVATE ${TEST_COMPILE_OPTIONS})
  # A library's source that a test program builds itself (host tree) keeps the
  # libraries' options.
  if(LIBRARY_SOURCE_OPTIONS)
    foreach(src IN LISTS T_SOURCES)
      cmake_path(ABSOLUTE_PATH src BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE OUTPUT_VARIABLE path)
      cmake_path(RELATIVE_PATH path BASE_DIRECTORY ${PROJECT_ROOT})
      if(NOT path MATCHES "(^|/)tests/")
        set_property(SOURCE ${src} APPEND PROPERTY COMPILE_OPTIONS ${LIBRARY_SOURCE_OPTIONS})
      endif()
    endforeach()
  endif()
  # The tests' precompiled headers (Windows tree): the grid's set for the
  # programs that link the grid, else the common one.
  if(TARGET test_pch)
    target_include_directories(${name} PRIVATE ${PROJECT_ROOT})
    if(grid IN_LIST T_LIBS AND TARGET test_pch_grid)
      target_precompile_headers(${name} REUSE_FROM test_pch_grid)
    else()
      target_precompile_headers(${name} REUSE_FROM test_pch)
    endif()
  endif()
  if(T_SHARDS AND T_SHARDS GREATER 1)
    set(entries)
    math(EXPR last "${T_SHARDS} - 1")
    foreach(index RANGE ${last})
      math(EXPR number "${index} + 1")
      add_test(NAME ${name}.${number} COMMAND ${name} --gtest_brief=1)
      set_tests_properties(${name}.${number} PROPERTIES
        ENVIRONMENT "GTEST_TOTAL_SHARDS=${T_SHARDS};GTEST_SHARD_INDEX=${index}")
      list(APPEND entries ${name}.${number})
    endforeach()
  else()
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set(entries ${name})
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${entries} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    set_tests_properties(${entries} PROPERTIES LABELS "${T_LABELS}")
  endif()
  if("gui" IN_LIST T_LABELS)
    set_tests_properties(${entries} PROPERTIES RESOURCE_GROUPS "gui:1")
  endif()
endfunction()
