#pragma once
// What both caster dialogs keep: the stored caster settings that the
// configuration file and the streaming runs use, and the working copies the
// dialog's controls edit. OK moves working values into the stored ones;
// RestoreFromStored moves them back.
#include <string>

#include "framework/Dialog.h"

// What the dialogs accept for the number of reconnection attempts and the
// seconds between them.
inline constexpr int kMaxReconnectAttempts = 1000;
inline constexpr unsigned kMaxReconnectSeconds = 1000;

class CCasterDlgBase : public CDialog {
 public:
  using CDialog::CDialog;

  void RestoreFromStored();
  // Cancel rolls every value back, the caster included: the caster did not
  // change, so the main window keeps its lists.
  void OnCancel() override;
  // OK on the caster the dialog already showed (a first run's preselected
  // entry) moves no spinner and types nothing, yet the stored caster may
  // differ from the one before: that is a change too, so its table is fetched.
  void NoteStoredCasterAfterOk(const std::wstring& before) {
    if (m_strHostPortStored != before) m_bCasterChanged = 1;
  }
  // The fields both caster dialogs share, exchanged in this order with their
  // range checks: user ID, password, attempts, seconds between attempts.
  void ExchangeAccountFields(CDataExchange* pDX, int userId, int passwordId, int attemptsId, int timeId);

  // Stored: host, ":", port (the generic dialog may carry "/..." after it).
  std::wstring m_strHostPortStored;
  // Stored credential text: user ID, ":", password.
  std::wstring m_strUserPassword;
  // The configuration file always writes 10 for both; a first start without
  // one begins with the same values the file will hold.
  int m_nAttemptsStored = 10;
  int m_nTimeStored = 10;

  std::wstring m_strHostPort;
  std::wstring m_strUser;
  std::wstring m_strPassword;
  int m_nAttempts = 0;
  unsigned m_nTime = 0;
  int m_bCasterChanged = 0;
  std::wstring m_strListFile;
};

// The user ID is the text before the first ':', the password everything
// after it; without ':' the whole text is the password.
void SplitCredentials(const std::wstring& credentials, std::wstring& user, std::wstring& password);
