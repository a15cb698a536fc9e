#pragma once
// The caster settings of the Corvo branding: the service's own casters.
#include <string>

#include "dialogs/CasterDlgBase.h"

constexpr unsigned IDD_BROADCASTER_CORVO = 134;

class CBroadcasterDlg : public CCasterDlgBase {
 public:
  CBroadcasterDlg() : CCasterDlgBase(IDD_BROADCASTER_CORVO) {}
  std::wstring m_strDesign;  // copy of the main window's branding key
};
