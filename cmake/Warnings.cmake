# Warnings are errors in the compilers we build with every day; the fuzz
# build (another compiler) only warns, so a new clang diagnostic never blocks fuzzing.
add_library(fieldcast_warnings INTERFACE)
target_compile_options(fieldcast_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow=local)
if(NOT FIELDCAST_FUZZ AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(fieldcast_warnings INTERFACE -Werror)
  # GCC 12's -Wrestrict misfires on std::string concatenation at -O3 (the
  # benchmarks' Release build; GCC bug 105651): it warns, it never blocks.
  target_compile_options(fieldcast_warnings INTERFACE $<$<CONFIG:Release>:-Wno-error=restrict>)
endif()
