# What the terminal sends after an Esc: Alt keys, mouse reports, unknown sequences.
add_fuzz_target(fuzz_escape_sequences
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_escape_sequences.cpp ${CMAKE_SOURCE_DIR}/src/framework/tui/EscapeSequences.cpp
  SECONDS 20)
target_include_directories(fuzz_escape_sequences PRIVATE ${CMAKE_SOURCE_DIR}/src)
