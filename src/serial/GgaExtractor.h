#pragma once
// GgaExtractor: finds the receiver's GGA sentence (its position) in the
// NMEA text read from the port, one character per byte.
//
// Only complete sentences count: "$" talker "GGA", the fields, "*" and the
// two checksum characters, with no line end before them. A sentence whose
// end has not arrived yet is kept and joined with the next read, so one
// split across two reads is found whole. The checksum is not verified: the
// sentence goes to the caster exactly as the receiver produced it, with
// CR LF appended.
//
// The last sentence found is remembered for the life of the object (the
// reception thread keeps one for the program's life), so a later run can
// take it at once. Used by one thread at a time.
#include <string>
#include <string_view>
#include <vector>

class GgaExtractor {
 public:
  // Talkers accepted when none are given: "$GPGGA" only.
  static const std::vector<std::wstring>& DefaultTalkers();

  GgaExtractor() : m_talkers(DefaultTalkers()) {}
  // Two-character talker identifiers ("GP", "GN"); an empty list keeps the
  // default.
  void SetTalkers(std::vector<std::wstring> talkers);

  // The first complete accepted GGA sentence of this read (joined with
  // what an earlier read left unfinished), with CR LF. Without any accepted
  // "$..GGA" in the text: the remembered sentence. With one that is not
  // complete: empty (the remembered sentence is forgotten, capture goes on).
  std::wstring ExtractGGA(std::wstring_view text);
  // The last complete accepted GGA sentence of this read, or empty; for
  // following a receiver's position while a stream runs.
  std::wstring ExtractNewestGGA(std::wstring_view text);
  // Drops the unfinished end of earlier reads (a new capture starts).
  void ForgetUnfinished() { m_strUnfinished.clear(); }
  const std::wstring& Remembered() const { return m_strRemembered; }
  // The talker of a GGA sentence seen but not accepted ("GN"), or empty.
  const std::wstring& IgnoredTalker() const { return m_strIgnoredTalker; }

 private:
  struct Found {
    size_t begin = std::wstring::npos;  // npos: no accepted "$..GGA" at all
    size_t end = 0;                     // past the checksum; 0: not complete
  };
  // The next accepted GGA at or after `from` in `text`.
  Found FindSentence(const std::wstring& text, size_t from);
  size_t FindAcceptedStart(const std::wstring& text, size_t from);
  // Keeps what may be the start of a sentence at the end of `text`.
  void KeepUnfinished(const std::wstring& text, size_t from);

  std::vector<std::wstring> m_talkers;
  std::wstring m_strRemembered;
  std::wstring m_strUnfinished;
  std::wstring m_strIgnoredTalker;
};
