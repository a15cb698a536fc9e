#include "dialogs/CasterDlgBase.h"

#include "framework/DataExchange.h"

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

void CCasterDlgBase::ExchangeAccountFields(CDataExchange* pDX, int userId, int passwordId, int attemptsId, int timeId) {
  DDX_Text(pDX, userId, m_strUser);
  DDX_Text(pDX, passwordId, m_strPassword);
  DDX_Text(pDX, attemptsId, m_nAttempts);
  DDV_MinMaxInt(pDX, m_nAttempts, 0, kMaxReconnectAttempts);
  DDX_Text(pDX, timeId, m_nTime);
  DDV_MinMaxUInt(pDX, m_nTime, 0, kMaxReconnectSeconds);
}
