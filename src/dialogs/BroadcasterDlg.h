#pragma once
// The caster settings of the Corvo branding: one of the service's own
// casters, listed from "CorvoNet.ini" with host names resolved to addresses,
// and the user ID, password and reconnection values. White fields on the
// service's red page.
#include <string>

#include "dialogs/BoundedHostLookup.h"
#include "dialogs/CasterDlgBase.h"
#include "framework/CommandBar.h"
#include "framework/Edit.h"
#include "framework/Gdi.h"
#include "framework/ListBox.h"
#include "framework/SpinButtonCtrl.h"
#include "res/CasterDialogIds.h"

class CBroadcasterDlg : public CCasterDlgBase {
 public:
  CBroadcasterDlg();

  void DoDataExchange(CDataExchange* pDX) override;
  bool PreTranslateMessage(MSG* pMsg) override;
  bool OnInitDialog() override;
  void OnOK() override;
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) override;
  const MessageMap& GetMessageMap() const override;

  // Lists the caster records of m_strListFile in file order. A host of
  // letters and dots only is shown as the address it resolves to (empty when
  // it does not resolve in time); any other host as written. False when the
  // file cannot be read or a record stops short.
  bool FillCasterList();

  CBrush m_brushRed;
  CBrush m_brushWhite;
  CCommandBar m_wndCommandBar;
  CListBox m_listCasters;
  CSpinButtonCtrl m_spinCasters;
  std::wstring m_strDesign;  // copy of the main window's branding key
  CEdit m_editUser;
  CEdit m_editPassword;
  CEdit m_editAttempts;
  CEdit m_editTime;
  // The host look-up and how long the list waits for it (tests replace both).
  HostLookupFunction m_lookup;
  std::chrono::milliseconds m_lookupDeadline = kCasterLookupDeadline;

 private:
  void OnCasterSelected();
  void OnSpinnerStep(NMHDR* header, LRESULT* result);
};
