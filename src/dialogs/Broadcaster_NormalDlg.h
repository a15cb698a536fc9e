#pragma once
// The caster settings of the generic branding: the caster as "host:port",
// chosen from the caster records of the stored source table or typed, the
// user ID and password for it, and the reconnection values.
//
// The caster the user picks or types takes effect only with OK: until then
// it is the dialog's own working text, so Cancel leaves the stored caster,
// and with it the main window's lists, as they were.
#include <string>

#include "dialogs/CasterDlgBase.h"
#include "framework/CommandBar.h"
#include "framework/ComboBox.h"
#include "framework/Edit.h"
#include "res/CasterDialogIds.h"

class CBroadcaster_NormalDlg : public CCasterDlgBase {
 public:
  CBroadcaster_NormalDlg() : CCasterDlgBase(IDD_BROADCASTER_NORMAL) {}

  void DoDataExchange(CDataExchange* pDX) override;
  bool PreTranslateMessage(MSG* pMsg) override;
  bool OnInitDialog() override;
  void OnOK() override;
  const MessageMap& GetMessageMap() const override;

  // Lists the caster records of m_strListFile in file order and selects the
  // last entry equal to the working caster (cut at its first '/'); appends
  // the working caster when none is. False when the file cannot be read or
  // a record stops short; the entries before it stay.
  bool FillCasterList();

  CCommandBar m_wndCommandBar;
  CComboBox m_cbHostPort;
  // The combo box's text once more, held to at most 200 characters.
  std::wstring m_strHostPortText;
  // The key mode of the caster field: Up and Down step the list when set,
  // move between fields when clear. Enter toggles it.
  bool m_bListMode = false;
  bool m_bCasterFound = false;
  CEdit m_editUser;
  CEdit m_editPassword;
  CEdit m_editAttempts;
  CEdit m_editTime;

 private:
  void OnCasterSelected();
  void OnCasterEdited();
  // The caster field's text into the working caster texts, without the
  // checks of the other fields: the caster handlers run while the user is
  // still typing elsewhere.
  void ReadCasterText();
  void WriteCasterText();
  bool HandleCasterKey(UINT key);
};
