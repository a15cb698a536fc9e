# The GNSS.ini loader and writer, seeded with damaged and hand-edited files.
add_fuzz_target(fuzz_settings_file
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_settings_file.cpp ${CMAKE_SOURCE_DIR}/src/app/SettingsFileText.cpp
  LIBS fieldcast_framework fieldcast_platform
  SECONDS 20
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/seeds/settings_file)
