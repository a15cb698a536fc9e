#pragma once
// StreamHealth: what the program knows about whether RTK works, gathered
// from three threads. The output thread hands it a copy of every block it
// wrote (after the write), the reception thread what the receiver sent and
// each position upload; the window, the status file and the service's
// health lines read one Snapshot of it.
//
// One short lock per block or per read, never per byte; no allocation on
// the output thread's path.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "health/GgaFix.h"
#include "health/RtcmWatch.h"

struct HealthSnapshot {
  std::int64_t nowMs = 0;
  // The stream.
  std::string caster;      // "host:port"
  std::string mountPoint;
  bool connected = false;
  std::int64_t connectedMs = 0;  // of the current connection
  std::uint64_t bytes = 0;       // relayed in this program's life
  double bytesPerSecond = 0;     // over the last minute (or since connected)
  // RTCM 3.
  std::uint64_t frames = 0;
  std::uint64_t badFrames = 0;
  bool notRtcm3 = false;
  RtcmWatch::Foreign foreign = RtcmWatch::Foreign::Unknown;
  struct Message {
    int type = 0;
    std::uint64_t count = 0;
    double perSecond = 0;  // over the last minute
  };
  std::vector<Message> messages;  // by type
  std::uint64_t otherTypeFrames = 0;
  RtcmWatch::Station station;
  std::optional<double> ageS;  // since the last good frame
  // The receiver.
  GgaFix receiver;
  std::optional<double> receiverAgeS;  // since its last GGA
  std::optional<double> baselineKm;
  // Seconds the receiver has reported no fix or a plain GPS fix while the
  // corrections were good.
  double unusedCorrectionsS = 0;
  std::uint64_t ggaUploads = 0;
  std::string recordingProblem;  // why --record ended; empty while it works
};

class StreamHealth {
 public:
  // Corrections older than this while connected are stale.
  static constexpr double kStaleAfterS = 10;
  // Good corrections for this long with no fix or a plain GPS fix: the
  // receiver does not use them.
  static constexpr double kUnusedAfterS = 60;

  // Output thread, after each write: the bytes that reached the port.
  void OnBlockWritten(const char* bytes, std::size_t count, std::int64_t nowMs);
  // Reception thread: what the receiver sent.
  void OnReceiverText(const char* bytes, std::size_t count, std::int64_t nowMs);
  void OnGgaUploaded() { m_ggaUploads.fetch_add(1, std::memory_order_relaxed); }
  void OnConnected(const std::string& caster, const std::string& mountPoint, std::int64_t nowMs);
  void OnDisconnected();

  void OnRecordingEnded(const std::string& why);
  // A new Start: the counts, rates and uploads start again from zero; the
  // receiver's last fix stays (the receiver did not change).
  void Reset();

  HealthSnapshot Take(std::int64_t nowMs) const;

  // Whether the receiver's output is read while a stream runs (a health
  // view was asked for); once set it stays set.
  void WantReceiver() { m_wantReceiver = true; }
  bool WantsReceiver() const { return m_wantReceiver; }

 private:
  void TrackUnusedCorrections(std::int64_t nowMs);

  mutable std::mutex m_mutex;
  RtcmWatch m_watch;
  std::array<std::uint64_t, RtcmWatch::kRateSeconds> m_bytesPerSecond{};
  std::int64_t m_bytesSecond = 0;
  GgaFix m_receiver;
  GgaFixReader m_receiverReader;
  std::int64_t m_receiverMs = -1;
  std::int64_t m_unusedSinceMs = -1;
  std::string m_caster;
  std::string m_mountPoint;
  std::string m_recordingProblem;
  bool m_connected = false;
  std::int64_t m_connectedMs = 0;
  std::atomic<std::uint64_t> m_ggaUploads{0};
  std::atomic<bool> m_wantReceiver{false};
};
