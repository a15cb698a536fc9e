#include "dialogs/CasterDlgBase.h"

void SplitCredentials(const std::wstring& credentials, std::wstring& user, std::wstring& password) {
  const size_t colon = credentials.find(L':');
  if (colon == std::wstring::npos) {
    user.clear();
    password = credentials;
    return;
  }
  user = credentials.substr(0, colon);
  password = credentials.substr(colon + 1);
}

void CCasterDlgBase::RestoreFromStored() {
  m_strHostPort = m_strHostPortStored;
  SplitCredentials(m_strUserPassword, m_strUser, m_strPassword);
  m_nAttempts = m_nAttemptsStored;
  m_nTime = static_cast<unsigned>(m_nTimeStored);
}

void CCasterDlgBase::OnCancel() {
  RestoreFromStored();
  m_bCasterChanged = 0;
  EndDialog(IDCANCEL);
}
