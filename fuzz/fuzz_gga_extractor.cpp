// Feeds arbitrary receiver output to the GGA extractor, cut into reads at
// places the input chooses, as the port delivers it. The sanitizers catch
// any access outside the buffers; the checks below catch what must never
// reach the caster: anything but one whole sentence of an accepted talker
// with its checksum characters and CR LF.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/Text.h"
#include "serial/GgaExtractor.h"

namespace {

void CheckSentence(const std::wstring& sentence, bool gnAccepted) {
  if (sentence.empty()) return;
  const size_t size = sentence.size();
  if (size < 11 || sentence.compare(size - 2, 2, L"\r\n") != 0 || sentence[size - 5] != L'*') std::abort();
  const bool gp = sentence.compare(0, 6, L"$GPGGA") == 0;
  const bool gn = sentence.compare(0, 6, L"$GNGGA") == 0;
  if (!gp && !(gn && gnAccepted)) std::abort();
  // One sentence: no line end or other start inside it.
  if (sentence.substr(1, size - 3).find_first_of(L"$\r\n") != std::wstring::npos) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first byte chooses the read size (1 to 256), the second the talkers.
  const size_t piece = static_cast<size_t>(data[0]) + 1;
  const bool gnAccepted = (data[1] & 1) != 0;
  const std::wstring text = platform::Widen(std::string_view(reinterpret_cast<const char*>(data + 2), size - 2));

  GgaExtractor first, newest;
  if (gnAccepted) {
    first.SetTalkers({L"GP", L"GN"});
    newest.SetTalkers({L"GP", L"GN"});
  }
  for (size_t at = 0; at < text.size(); at += piece) {
    const std::wstring read = text.substr(at, piece);
    CheckSentence(first.ExtractGGA(read), gnAccepted);
    CheckSentence(newest.ExtractNewestGGA(read), gnAccepted);
  }
  return 0;
}
