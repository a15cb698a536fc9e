#include "net/Base64.h"

#include "platform/Text.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

std::string Base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t count = bytes.size() - i < 3 ? bytes.size() - i : 3;
    // A short final group is padded with zero bytes, then with "=".
    unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
    if (count > 1) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (count > 2) group |= static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[(group >> 18) & 0x3F];
    out += kAlphabet[(group >> 12) & 0x3F];
    out += count > 1 ? kAlphabet[(group >> 6) & 0x3F] : '=';
    out += count > 2 ? kAlphabet[group & 0x3F] : '=';
  }
  return out;
}

std::string Base64Encode(std::wstring_view text) { return Base64Encode(platform::EncodeUtf8(text)); }
