#pragma once
// Base64 (RFC 4648, standard alphabet, "=" padding, no line breaks) for the
// Basic authorisation of the caster request.
#include <string>
#include <string_view>

std::string Base64Encode(std::string_view bytes);
// The credential text "user:password": each character narrowed to its low
// 8 bits first, as the caster sees the bytes.
std::string Base64Encode(std::wstring_view text);
