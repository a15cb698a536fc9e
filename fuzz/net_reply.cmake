# The caster's reply: classification, where stream data starts, the status text;
# and the receive path that takes whatever a peer sends.
set(net_seeds
  ${CMAKE_SOURCE_DIR}/tests/data/sourcetables
  ${CMAKE_SOURCE_DIR}/tests/data/rtcm
  ${CMAKE_CURRENT_SOURCE_DIR}/seeds/caster-replies)
add_fuzz_target(fuzz_reply_classification
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_reply_classification.cpp
  LIBS fieldcast_net SECONDS 20 CORPUS ${net_seeds})
add_fuzz_target(fuzz_net_receive
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_net_receive.cpp
  LIBS fieldcast_net SECONDS 20 CORPUS ${net_seeds})
add_fuzz_target(fuzz_reply_body
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_reply_body.cpp
  LIBS fieldcast_net SECONDS 20 CORPUS ${net_seeds})
