// Feeds arbitrary stream bytes to the stream health watch, cut into blocks
// at sizes the input chooses, as the output thread hands them on, and the
// same bytes to the receiver's GGA reader. The sanitizers catch any access
// outside the buffers; the checks catch counts that cannot be: more good
// frames than the bytes hold, bad frames in a stream never proven RTCM 3.
#include <cstdint>
#include <cstdlib>

#include "health/HealthTexts.h"
#include "health/StreamHealth.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t block = 1 + data[0] % 64 * 8;  // 1 to 505 bytes, around the port's 500
  ++data;
  --size;
  RtcmWatch watch;
  StreamHealth health;
  std::int64_t now = 0;
  for (std::size_t at = 0; at < size; at += block) {
    const std::size_t count = size - at < block ? size - at : block;
    watch.Feed(data + at, count, now);
    health.OnBlockWritten(reinterpret_cast<const char*>(data + at), count, now);
    health.OnReceiverText(reinterpret_cast<const char*>(data + at), count, now);
    now += 700;
  }
  if (watch.Bytes() != size) std::abort();
  if (watch.GoodFrames() * 6 > size) std::abort();  // a frame is at least 6 bytes
  if (watch.GoodFrames() == 0 && watch.BadFrames() != 0) std::abort();
  std::uint64_t typed = watch.OtherTypeFrames();
  for (std::size_t i = 0; i < watch.TypeCountSize(); ++i) typed += watch.TypeAt(i).count;
  if (typed != watch.GoodFrames()) std::abort();
  const HealthSnapshot snapshot = health.Take(now);
  (void)HealthJson(snapshot, "fuzz");
  (void)HealthPageText(snapshot, L"fuzz");
  (void)HealthLine(snapshot);
  return 0;
}
