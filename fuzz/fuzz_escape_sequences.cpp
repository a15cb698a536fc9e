// Whatever a terminal (or someone typing into it) sends after an Esc: the
// reader must stay inside the codes it was given and always move on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "framework/tui/EscapeSequences.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Each byte is a character; 0xFF makes the next byte a function key.
  std::vector<KeyCode> codes;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF && i + 1 < size) codes.push_back({KeyKind::FunctionKey, 0x100u + data[++i]});
    else codes.push_back({KeyKind::Character, data[i]});
  }
  for (std::size_t at = 0; at < codes.size(); ++at) {
    if (codes[at].kind != KeyKind::Character || codes[at].code != 0x1B) continue;
    EscapeMeaning meaning;
    const std::size_t used = InterpretEscape(codes, at, meaning);
    if (used < 1 || used > codes.size() - at) std::abort();
    if (meaning.kind == EscapeMeaning::Kind::Click && (meaning.column < 0 || meaning.row < 0)) std::abort();
    at += used - 1;
  }
  return 0;
}
