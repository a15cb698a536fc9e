# The caster-list reader of both caster dialogs, seeded with the real tables.
add_fuzz_target(fuzz_caster_list
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_caster_list.cpp
  LIBS fieldcast_dialogs
  SECONDS 30
  CORPUS ${CMAKE_SOURCE_DIR}/tests/data/sourcetables)
