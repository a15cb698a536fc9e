#pragma once
// Notification codes controls send to their dialog.
#include "framework/MessageMap.h"
#include "framework/Types.h"

constexpr UINT BN_CLICKED = 0;
constexpr UINT LBN_SELCHANGE = 1;
constexpr UINT CBN_SELCHANGE = 1;
constexpr UINT CBN_EDITCHANGE = 5;
constexpr UINT EN_CHANGE = 0x0300;
constexpr UINT UDN_DELTAPOS = static_cast<UINT>(-722);

// Sent before an up-down control moves: the handler may change iDelta, or
// answer non-zero to cancel the step.
struct NMUPDOWN {
  NMHDR hdr;
  int iPos = 0;
  int iDelta = 0;
};
