# Unity builds: a target's sources are compiled a batch at a time (eight
# files, CMake's default) in one unit, so that the headers and the inline code
# they all use are parsed and compiled once a batch instead of once a file.
# SKIP names files (from the checkout's root) whose own helpers share a name
# with those of another file of the target: they are compiled on their own.
# In a unity unit every source file is an included file, and GCC's warning for
# a class of an included file that uses a type of an anonymous namespace
# (meant for headers) would name each such class of a source file.
function(unity_build target)
  cmake_parse_arguments(U "" "" "SKIP" ${ARGN})
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-Wno-subobject-linkage>)
  get_target_property(dir ${target} SOURCE_DIR)
  foreach(file IN LISTS U_SKIP)
    set_source_files_properties(${PROJECT_ROOT}/${file} DIRECTORY ${dir} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  endforeach()
endfunction()
