# The receiver's NMEA output: the GGA sentence found in it, read by read.
add_fuzz_target(fuzz_gga_extractor
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_gga_extractor.cpp
  LIBS fieldcast_serial SECONDS 20 CORPUS ${CMAKE_SOURCE_DIR}/tests/data/nmea)
