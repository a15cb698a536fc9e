#pragma once
// How the receiver's GGA sentence is taken and sent: options given on the
// command line, read by the reception thread. Set before the worker
// threads start and not changed afterwards.
#include <string>
#include <vector>

#include "framework/Types.h"
#include "health/GgaBuilder.h"

struct GgaOptions {
  // Talkers whose GGA sentence is accepted ("GP", "GN"...); empty: "GP".
  std::vector<std::wstring> talkers;
  // Seconds between uploads of the newest sentence while a stream that
  // wants the position runs; 0: one upload per connection.
  int intervalSeconds = 0;
  // --gga-position: for receivers that send no GGA, a sentence built from
  // this position goes wherever the receiver's would; nothing is captured.
  bool hasFixedPosition = false;
  FixedPosition fixedPosition;
};

// The reception thread's step that follows the receiver's position while a
// stream runs (only with an interval). lParam: the chain it belongs to.
constexpr UINT TM_FOLLOW_GGA = WM_APP + 0x40;
// From the window: a health view was asked for while run wParam streams, so
// an accepted stream that nobody followed is followed from now on.
constexpr UINT TM_FOLLOW_WANTED = WM_APP + 0x41;
