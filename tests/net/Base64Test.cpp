#include <gtest/gtest.h>

#include "net/Base64.h"

namespace {

TEST(Base64, MatchesTheRfc4648Vectors) {
  const struct {
    const char* input;
    const char* encoded;
  } cases[] = {
      {"", ""},           {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
  };
  for (const auto& c : cases) EXPECT_EQ(Base64Encode(std::string_view(c.input)), c.encoded) << c.input;
}

TEST(Base64, UsesEveryAlphabetCharacterForEdgeBytes) {
  // 0x00, 0xFF and the bit patterns that land on "+" (62) and "/" (63).
  EXPECT_EQ(Base64Encode(std::string_view("\x00\x00\x00", 3)), "AAAA");
  EXPECT_EQ(Base64Encode(std::string_view("\xFF\xFF\xFF")), "////");
  EXPECT_EQ(Base64Encode(std::string_view("\xFB\xEF\xBE")), "++++");
  EXPECT_EQ(Base64Encode(std::string_view("\xFF")), "/w==");
}

TEST(Base64, EncodesCredentialTextAsUtf8) {
  EXPECT_EQ(Base64Encode(std::wstring_view(L"user:pass")), "dXNlcjpwYXNz");
  EXPECT_EQ(Base64Encode(std::wstring_view(L":")), "Og==");
  EXPECT_EQ(Base64Encode(std::wstring_view(L"\u00e9")), "w6k=");      // C3 A9
  EXPECT_EQ(Base64Encode(std::wstring_view(L"\u0141")), "xYE=");      // C5 81
  EXPECT_EQ(Base64Encode(std::wstring_view(L"\U0001F600")), "8J+YgA==");  // F0 9F 98 80
}

TEST(Base64, LongestCredentialGivesOneUnbrokenLine) {
  const std::wstring credential = std::wstring(35, L'u') + L":" + std::wstring(36, L'p');
  ASSERT_EQ(credential.size(), 72u);
  const std::string encoded = Base64Encode(std::wstring_view(credential));
  EXPECT_EQ(encoded.size(), 96u);
  EXPECT_EQ(encoded.find_first_of("\r\n="), std::string::npos);
  EXPECT_EQ(encoded.substr(0, 8), "dXV1dXV1");
}

}  // namespace
