#pragma once
// The private messages of a streaming run: window messages go to the main
// window, thread messages to InThread or OutThread. Values are counted from
// the first application message number.
#include "framework/Types.h"

constexpr UINT WM_STATUS_REFRESH = WM_APP + 3;
constexpr UINT WM_PROGRESS_UPDATE = WM_APP + 4;
constexpr UINT TM_OPEN_PORT = WM_APP + 5;
constexpr UINT TM_DISPATCH = WM_APP + 6;
constexpr UINT TM_RECEIVE = WM_APP + 7;
constexpr UINT TM_WRITE_PORT = WM_APP + 8;
constexpr UINT TM_NO_OUTPUT = WM_APP + 9;
constexpr UINT WM_STREAM_STOP = WM_APP + 10;
constexpr UINT TM_CAPTURE_GGA = WM_APP + 11;
constexpr UINT TM_CONNECT = WM_APP + 12;
constexpr UINT TM_SEND_GGA = WM_APP + 13;
constexpr UINT TM_SEND_REQUEST = WM_APP + 14;
constexpr UINT WM_SOURCETABLE_READY = WM_APP + 15;
constexpr UINT WM_RECONNECT = WM_APP + 16;

constexpr UINT RECONNECT_TIMER_ID = 0x8011;
constexpr UINT HEALTH_TIMER_ID = 0x8012;
