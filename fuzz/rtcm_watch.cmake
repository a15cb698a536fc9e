# The correction stream as the health watch sees it: RTCM 3 frames (and
# whatever else a caster sends), block by block; seeded with the captures.
add_fuzz_target(fuzz_rtcm_watch
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_rtcm_watch.cpp
  LIBS fieldcast_health SECONDS 20 CORPUS ${CMAKE_SOURCE_DIR}/tests/data/rtcm)
