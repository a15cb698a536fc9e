#pragma once
// Conversions at the boundary between user-interface texts (wide) and the
// 8-bit world of files, sockets and serial data.
#include <string>
#include <string_view>

namespace platform {

// One byte per character: each character's low 8 bits (the program's own
// narrowing for the wire and GNSS.ini).
std::string Narrow(std::wstring_view text);

// One character per byte, 0..255 (the inverse of Narrow).
std::wstring Widen(std::string_view bytes);

// UTF-8 bytes of the text (ASCII stays byte for byte): what goes to the
// caster in the request line and the credentials.
std::string EncodeUtf8(std::wstring_view text);

// Text that comes from outside and may be UTF-8 (source tables, caster
// replies): UTF-8 where the bytes are valid UTF-8, else one character per byte.
std::wstring DecodeExternal(std::string_view bytes);

// Local file-system names (paths): the locale-independent UTF-8 view of a
// path when it is valid UTF-8, otherwise one character per byte.
std::wstring WidenLocal(std::string_view bytes);
std::string NarrowLocal(std::wstring_view text);

}  // namespace platform
