// Finding the receiver's GGA sentence in what the port delivered, read by
// read: whole, cut at every place, other talkers, the remembered sentence.
#include <gtest/gtest.h>

#include "serial/GgaExtractor.h"

namespace {

const std::wstring kGga = L"$GPGGA,213121.000,4404.1295864,N,12118.8685453,W,2,07,1.2,1102.537,M,-20.300,M,,0000*5F";
const std::wstring kRmc = L"$GPRMC,213121.000,A,4404.1295864,N,12118.8685453,W,000.0,122.7,070416,,,D*72";
const std::wstring kGnGga = L"$GNGGA,031513.00,4551.20164,S,17029.68478,E,1,12,0.68,11.2,M,0.1,M,,*5A";

}  // namespace

TEST(GgaExtractor, OneReadGivesTheFirstCompleteSentenceWithCrLf) {
  struct Case {
    const char* legend;
    std::wstring read;
    std::wstring expected;
  };
  const Case cases[] = {
      {"sentence then others", kGga + L"\r\n" + kRmc + L"\r\n", kGga + L"\r\n"},
      {"after others, LF only", kRmc + L"\n" + kGga + L"\n" + kRmc, kGga + L"\r\n"},
      {"the first of two", kGga + L"\r\n" + L"$GPGGA,1*00\r\n", kGga + L"\r\n"},
      {"checksum ends the read", kGga, kGga + L"\r\n"},
      {"no star yet", L"$GPGGA,213121.000,4404.12", L""},
      {"one checksum character", L"$GPGGA,213121.000*5", L""},
      {"cut in its checksum by the next sentence", L"$GPGGA,,,,,,0,,,,M,,M,,*6" + kRmc + L"\r\n", L""},
      {"line end before the star is no sentence", L"$GPGGA,2131\r\n" + kRmc + L"\r\n", L""},
      {"a cut one, then a whole one", L"$GPGGA,2131\r\n" + kGga + L"\r\n", kGga + L"\r\n"},
      {"other talker", kGnGga + L"\r\n", L""},
  };
  for (const Case& c : cases) {
    GgaExtractor extractor;
    EXPECT_EQ(extractor.ExtractGGA(c.read), c.expected) << c.legend;
  }
}

TEST(GgaExtractor, ASentenceSplitAnywhereAcrossTwoReadsIsFoundWhole) {
  const std::wstring stream = kRmc + L"\r\n" + kGga + L"\r\n" + kRmc + L"\r\n";
  for (size_t cut = 1; cut < stream.size(); ++cut) {
    GgaExtractor extractor;
    std::wstring got = extractor.ExtractGGA(stream.substr(0, cut));
    if (got.empty()) got = extractor.ExtractGGA(stream.substr(cut));
    EXPECT_EQ(got, kGga + L"\r\n") << "cut at " << cut;
  }
}

TEST(GgaExtractor, TheRememberedSentenceAnswersReadsWithoutGgaUntilANewOneStarts) {
  GgaExtractor extractor;
  ASSERT_EQ(extractor.ExtractGGA(kGga + L"\r\n"), kGga + L"\r\n");
  extractor.ForgetUnfinished();  // a new run
  EXPECT_EQ(extractor.ExtractGGA(kRmc + L"\r\n"), kGga + L"\r\n");
  // A new sentence that has not fully arrived replaces it with nothing.
  EXPECT_EQ(extractor.ExtractGGA(L"$GPGGA,2131"), L"");
  EXPECT_EQ(extractor.Remembered(), L"");
}

TEST(GgaExtractor, OtherTalkersAreNamedAndAcceptedOnlyWhenAsked) {
  GgaExtractor byDefault;
  EXPECT_EQ(byDefault.ExtractGGA(kRmc + L"\r\n" + kGnGga + L"\r\n"), L"");
  EXPECT_EQ(byDefault.IgnoredTalker(), L"GN");

  GgaExtractor withGn;
  withGn.SetTalkers({L"GP", L"GN"});
  EXPECT_EQ(withGn.ExtractGGA(kGnGga + L"\r\n"), kGnGga + L"\r\n");
  EXPECT_EQ(withGn.IgnoredTalker(), L"");
}

TEST(GgaExtractor, FollowingTakesTheNewestCompleteSentence) {
  const std::wstring later = L"$GPGGA,213122.000,4404.1295864,N,12118.8685453,W,2,07,1.2,1102.537,M,-20.300,M,,0000*5C";
  GgaExtractor extractor;
  EXPECT_EQ(extractor.ExtractNewestGGA(kGga + L"\r\n" + later + L"\r\n$GPGGA,2131"), later + L"\r\n");
  EXPECT_EQ(extractor.ExtractNewestGGA(kRmc), L"");  // nothing new: the caller keeps what it has
  EXPECT_EQ(extractor.Remembered(), later + L"\r\n");
}

TEST(GgaExtractor, AnEndlessUnfinishedSentenceIsDropped) {
  GgaExtractor extractor;
  EXPECT_EQ(extractor.ExtractGGA(L"$GPGGA," + std::wstring(300, L'1')), L"");
  // The next complete sentence is not glued to the garbage before it.
  EXPECT_EQ(extractor.ExtractGGA(std::wstring(20, L'2') + L"*00\r\n" + kGga + L"\r\n"), kGga + L"\r\n");
}
