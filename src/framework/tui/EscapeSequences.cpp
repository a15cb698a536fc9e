#include "framework/tui/EscapeSequences.h"

#include <string>

namespace {

constexpr unsigned kEsc = 0x1B;
// Longer than any sequence a terminal sends; a run-on "sequence" is cut here.
constexpr size_t kMaxSequence = 32;
// X10 mouse reports add 32 to the button and 33 to the 1-based cell.
constexpr unsigned kX10Offset = 32;

bool IsCharacter(const std::vector<KeyCode>& codes, size_t at) {
  return at < codes.size() && codes[at].kind == KeyKind::Character;
}

// "<b;x;y" with a final 'M' (press) or 'm' (release).
bool ParseSgrMouse(const std::string& parameters, unsigned final, EscapeMeaning& meaning) {
  if (parameters.size() < 6 || parameters[0] != '<') return false;
  long values[3] = {};
  size_t field = 0;
  bool digits = false;
  for (size_t i = 1; i < parameters.size(); ++i) {
    const char c = parameters[i];
    if (c >= '0' && c <= '9') {
      values[field] = values[field] * 10 + (c - '0');
      if (values[field] > 100000) return false;
      digits = true;
    } else if (c == ';' && digits && field < 2) {
      ++field;
      digits = false;
    } else {
      return false;
    }
  }
  if (field != 2 || !digits || values[1] < 1 || values[2] < 1) return false;
  // Button 0 pressed, no motion, no wheel, no modifier: a click.
  if (final == 'M' && values[0] == 0) {
    meaning.kind = EscapeMeaning::Kind::Click;
    meaning.column = static_cast<int>(values[1] - 1);
    meaning.row = static_cast<int>(values[2] - 1);
  }
  return true;
}

// Esc [ ... final: parameters and intermediates 0x20-0x3F, final 0x40-0x7E.
size_t InterpretCsi(const std::vector<KeyCode>& codes, size_t at, EscapeMeaning& meaning) {
  std::string parameters;
  size_t i = at + 2;
  for (; IsCharacter(codes, i) && i - at < kMaxSequence; ++i) {
    const unsigned c = codes[i].code;
    if (c >= 0x40 && c <= 0x7E) break;
    if (c < 0x20 || c > 0x3F) return i - at;  // not a sequence after all: drop what came so far
    parameters += static_cast<char>(c);
  }
  if (!IsCharacter(codes, i) || i - at >= kMaxSequence) return i - at;
  const unsigned final = codes[i].code;
  // "Esc [ M" and three bytes: the older mouse report.
  if (final == 'M' && parameters.empty()) {
    if (!IsCharacter(codes, i + 3)) return codes.size() - at;
    const unsigned button = codes[i + 1].code, x = codes[i + 2].code, y = codes[i + 3].code;
    if (button == kX10Offset && x > kX10Offset && y > kX10Offset) {
      meaning.kind = EscapeMeaning::Kind::Click;
      meaning.column = static_cast<int>(x - kX10Offset - 1);
      meaning.row = static_cast<int>(y - kX10Offset - 1);
    }
    return i + 4 - at;
  }
  (void)ParseSgrMouse(parameters, final, meaning);
  return i + 1 - at;
}

}  // namespace

size_t InterpretEscape(const std::vector<KeyCode>& codes, size_t at, EscapeMeaning& meaning) {
  meaning = EscapeMeaning{};
  if (at + 1 >= codes.size()) {
    meaning.kind = EscapeMeaning::Kind::Back;
    return 1;
  }
  const KeyCode& next = codes[at + 1];
  // Alt with a key ncurses knows (Alt+Up): both go.
  if (next.kind == KeyKind::FunctionKey) return 2;
  // Alt+Esc, or Alt with a sequence: the Esc and what belongs to the next go.
  if (next.code == kEsc) {
    EscapeMeaning inner;
    return 1 + InterpretEscape(codes, at + 1, inner);
  }
  if (next.code == '[') return InterpretCsi(codes, at, meaning);
  // "Esc O x": a key in application mode that ncurses did not know.
  if (next.code == 'O' && IsCharacter(codes, at + 2)) return 3;
  return 2;  // Alt+key
}
