#include "health/StreamHealth.h"

#include <algorithm>

namespace {

bool UsesCorrections(int quality) { return quality != 0 && quality != 1; }

}  // namespace

void StreamHealth::OnBlockWritten(const char* bytes, std::size_t count, std::int64_t nowMs) {
  std::lock_guard lock(m_mutex);
  m_watch.Feed(reinterpret_cast<const std::uint8_t*>(bytes), count, nowMs);
  const std::int64_t second = nowMs / 1000;
  for (std::int64_t s = m_bytesSecond + 1; s <= second && s <= m_bytesSecond + RtcmWatch::kRateSeconds; ++s)
    m_bytesPerSecond[static_cast<std::size_t>(s % RtcmWatch::kRateSeconds)] = 0;
  m_bytesSecond = std::max(m_bytesSecond, second);
  m_bytesPerSecond[static_cast<std::size_t>(second % RtcmWatch::kRateSeconds)] += count;
}

void StreamHealth::OnReceiverText(const char* bytes, std::size_t count, std::int64_t nowMs) {
  std::lock_guard lock(m_mutex);
  if (m_receiverReader.Feed(bytes, count, m_receiver)) m_receiverMs = nowMs;
  TrackUnusedCorrections(nowMs);
}

// The clock starts with the first report of no fix or a plain GPS fix while
// the corrections are fresh, and stops at any other report or stale ones.
void StreamHealth::TrackUnusedCorrections(std::int64_t nowMs) {
  const bool fresh = m_watch.LastGoodMs() >= 0 && nowMs - m_watch.LastGoodMs() <= kStaleAfterS * 1000;
  if (!fresh || !m_receiver.seen || UsesCorrections(m_receiver.quality)) m_unusedSinceMs = -1;
  else if (m_unusedSinceMs < 0) m_unusedSinceMs = nowMs;
}

void StreamHealth::OnConnected(const std::string& caster, const std::string& mountPoint, std::int64_t nowMs) {
  std::lock_guard lock(m_mutex);
  m_caster = caster;
  m_mountPoint = mountPoint;
  m_connected = true;
  m_connectedMs = nowMs;
}

void StreamHealth::OnRecordingEnded(const std::string& why) {
  std::lock_guard lock(m_mutex);
  m_recordingProblem = why;
}

void StreamHealth::Reset() {
  std::lock_guard lock(m_mutex);
  m_watch = RtcmWatch{};
  m_bytesPerSecond = {};
  m_unusedSinceMs = -1;
  m_ggaUploads = 0;
}

void StreamHealth::OnDisconnected() {
  std::lock_guard lock(m_mutex);
  m_connected = false;
}

HealthSnapshot StreamHealth::Take(std::int64_t nowMs) const {
  HealthSnapshot s;
  s.nowMs = nowMs;
  s.ggaUploads = m_ggaUploads.load(std::memory_order_relaxed);
  std::lock_guard lock(m_mutex);
  s.caster = m_caster;
  s.mountPoint = m_mountPoint;
  s.connected = m_connected;
  s.recordingProblem = m_recordingProblem;
  s.connectedMs = m_connected ? nowMs - m_connectedMs : 0;
  s.bytes = m_watch.Bytes();
  // Rates over the last minute, or over the connection when it is younger.
  const double window = std::clamp(static_cast<double>(nowMs - m_connectedMs) / 1000.0, 1.0,
                                   static_cast<double>(RtcmWatch::kRateSeconds));
  std::uint64_t recentBytes = 0;
  const std::int64_t second = nowMs / 1000;
  for (std::int64_t t = std::max(second - RtcmWatch::kRateSeconds + 1, std::int64_t{0}); t <= m_bytesSecond; ++t)
    recentBytes += m_bytesPerSecond[static_cast<std::size_t>(t % RtcmWatch::kRateSeconds)];
  s.bytesPerSecond = static_cast<double>(recentBytes) / window;
  s.frames = m_watch.GoodFrames();
  s.badFrames = m_watch.BadFrames();
  s.notRtcm3 = m_watch.NotRtcm3();
  s.foreign = m_watch.ForeignKind();
  s.otherTypeFrames = m_watch.OtherTypeFrames();
  s.messages.reserve(m_watch.TypeCountSize());
  for (std::size_t i = 0; i < m_watch.TypeCountSize(); ++i) {
    const RtcmWatch::TypeCount& t = m_watch.TypeAt(i);
    s.messages.push_back({t.type, t.count, m_watch.FramesLastMinute(i, nowMs) / window});
  }
  std::sort(s.messages.begin(), s.messages.end(), [](const auto& a, const auto& b) { return a.type < b.type; });
  s.station = m_watch.StationInfo();
  if (m_watch.LastGoodMs() >= 0) s.ageS = static_cast<double>(nowMs - m_watch.LastGoodMs()) / 1000.0;
  s.receiver = m_receiver;
  if (m_receiverMs >= 0) s.receiverAgeS = static_cast<double>(nowMs - m_receiverMs) / 1000.0;
  if (s.station.known && m_receiver.hasPosition)
    s.baselineKm = DistanceM(s.station.ecef, ToEcef(m_receiver.position)) / 1000.0;
  const bool fresh = s.ageS && *s.ageS <= kStaleAfterS;
  if (m_unusedSinceMs >= 0 && fresh) s.unusedCorrectionsS = static_cast<double>(nowMs - m_unusedSinceMs) / 1000.0;
  return s;
}
