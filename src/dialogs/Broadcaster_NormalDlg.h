#pragma once
// The caster settings of the generic branding.
#include "dialogs/CasterDlgBase.h"

constexpr unsigned IDD_BROADCASTER_NORMAL = 136;

class CBroadcaster_NormalDlg : public CCasterDlgBase {
 public:
  CBroadcaster_NormalDlg() : CCasterDlgBase(IDD_BROADCASTER_NORMAL) {}
};
