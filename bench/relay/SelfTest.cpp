#include "SelfTest.h"

#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "Frame.h"
#include "Verifier.h"

namespace relay {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Frames 0..count-1 of `size` bytes, frame i stamped at i * 1000 ns.
std::vector<Bytes> Frames(int count, std::uint32_t size) {
  std::vector<Bytes> frames(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    BuildFrame(frames[i], static_cast<std::uint32_t>(i), size, 0);
    StampFrame(frames[i], static_cast<std::uint64_t>(i) * 1000);
  }
  return frames;
}

Bytes Join(const std::vector<Bytes>& frames) {
  Bytes all;
  for (const Bytes& f : frames) all.insert(all.end(), f.begin(), f.end());
  return all;
}

// Feeds `stream` in reads of `chunk` bytes, read k stamped at k.
Verifier Check(const Bytes& stream, std::size_t chunk) {
  Verifier v;
  std::uint64_t k = 0;
  for (std::size_t at = 0; at < stream.size(); at += chunk)
    v.Feed({stream.data() + at, std::min(chunk, stream.size() - at)}, ++k);
  v.Finish();
  return v;
}

bool Clean(const Verifier& v) {
  const StreamFaults& f = v.Faults();
  return f.badBytes == 0 && f.presyncBytes == 0 && f.duplicates == 0 && f.reordered == 0 && f.trailingBytes == 0;
}

}  // namespace

int RunSelfTest() {
  const auto frames = Frames(10, 64);
  const Bytes clean = Join(frames);
  std::vector<std::pair<std::string, std::function<bool()>>> checks = {
      {"clean stream in odd read sizes: all frames, no faults",
       [&] {
         for (std::size_t chunk : {1u, 7u, 64u, 100u, 4096u}) {
           const Verifier v = Check(clean, chunk);
           if (!Clean(v) || v.Arrivals().size() != 10) return false;
         }
         return true;
       }},
      {"a frame split over two reads arrives with the read that completes it",
       [&] {
         const Verifier v = Check(clean, 100);  // frame 1 ends at 128: read 2
         return v.Arrivals().size() == 10 && v.Arrivals()[0].arriveNs == 1 && v.Arrivals()[1].arriveNs == 2 &&
                v.Arrivals()[1].sendNs == 1000;
       }},
      {"a dropped byte: that frame is lost, the next one is found again",
       [&] {
         Bytes s = clean;
         s.erase(s.begin() + 64 * 3 + 40);
         const Verifier v = Check(s, 50);
         return v.Arrivals().size() == 9 && v.Faults().badBytes == 63 && v.Arrivals()[3].seq == 4;
       }},
      {"a flipped bit in the payload or the header",
       [&] {
         for (std::size_t at : {64u * 5 + 50, 64u * 5 + 9}) {
           Bytes s = clean;
           s[at] ^= 0x10;
           const Verifier v = Check(s, 64);
           if (v.Arrivals().size() != 9 || v.Faults().badBytes != 64) return false;
         }
         return true;
       }},
      {"a duplicated frame", [&] {
         auto f = frames;
         f.insert(f.begin() + 4, frames[3]);
         const Verifier v = Check(Join(f), 33);
         return v.Arrivals().size() == 10 && v.Faults().duplicates == 1;
       }},
      {"two frames swapped", [&] {
         auto f = frames;
         std::swap(f[2], f[3]);
         const Verifier v = Check(Join(f), 64);
         return v.Arrivals().size() == 10 && v.Faults().reordered == 1;
       }},
      {"LF rewritten to CR LF by a cooked terminal", [&] {
         Bytes s;
         for (std::uint8_t b : clean) {
           if (b == '\n') s.push_back('\r');
           s.push_back(b);
         }
         const Verifier v = Check(s, 64);
         return v.Arrivals().empty() && v.Faults().presyncBytes > 0;  // every frame carries LFs
       }},
      {"joining mid-frame counts as pre-sync bytes, not as corruption", [&] {
         const Bytes s(clean.begin() + 20, clean.end());
         const Verifier v = Check(s, 64);
         return v.Arrivals().size() == 9 && v.Faults().presyncBytes == 44 && v.Faults().badBytes == 0;
       }},
      {"a truncated last frame is reported", [&] {
         const Bytes s(clean.begin(), clean.end() - 5);
         const Verifier v = Check(s, 64);
         return v.Arrivals().size() == 9 && v.Faults().trailingBytes == 59;
       }},
  };
  int failed = 0;
  for (const auto& [name, check] : checks) {
    const bool ok = check();
    failed += ok ? 0 : 1;
    std::cout << (ok ? "ok   " : "FAIL ") << name << "\n";
  }
  std::cout << checks.size() - static_cast<std::size_t>(failed) << " passed, " << failed << " failed\n";
  return failed;
}

}  // namespace relay
