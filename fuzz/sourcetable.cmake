# The source-table parser, seeded with the real tables and hostile ones.
add_fuzz_target(fuzz_sourcetable
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_sourcetable.cpp
  LIBS fieldcast_sourcetable
  SECONDS 30
  CORPUS ${CMAKE_SOURCE_DIR}/tests/data/sourcetables ${CMAKE_CURRENT_SOURCE_DIR}/seeds/sourcetable)
