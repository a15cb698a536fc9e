// GNSS.ini: loaded once at start-up into the settings dialogs' stored
// values and the window's members, written once at Exit. The text itself
// is SettingsFileText's job.
#include <string>

#include "app/FieldcastDlg.h"
#include "app/SettingsFileText.h"
#include "framework/File.h"
#include "framework/ReadFileUpTo.h"
#include "platform/Trace.h"

namespace {

constexpr wchar_t kUnreadableStatus[] = L"ERROR: GNSS.ini could not be read.";

template <class T>
void Take(const std::optional<T>& value, T& field) {
  if (value) field = *value;
}

}  // namespace

void CFieldcastDlg::LoadConfiguration() {
  CComPortDlg& port = m_settingsDlg.m_comPortDlg;
  std::string text;
  std::wstring reason;
  const ReadFileResult read = ReadFileUpTo(m_strIniPath, kMaxSettingsFileBytes, text, reason);
  if (read != ReadFileResult::Read) {
    port.SetDefaults();
    m_settingsDlg.m_nOutputStored = 1;
    m_settingsDlg.m_nOutput = 1;
    if (read == ReadFileResult::Unreadable) {
      // Saving defaults over it would lose the user's settings for good.
      m_strIniReadProblem = reason;
      m_strStatus.Set(kUnreadableStatus);
      platform::Trace(L"Cannot read " + m_strIniPath + L": " + reason + L"\n");
      UpdateData(false);
    }
    return;
  }
  // A file may hold only some lines (a service hands out one with just its
  // branding): what the loader does not find keeps its default, so Exit
  // never writes an empty port or speed.
  port.SetDefaults();
  const SettingsFileValues v = ParseSettingsFile(text);
  for (CCasterDlgBase* caster : {static_cast<CCasterDlgBase*>(&m_casterDlgCorvo), static_cast<CCasterDlgBase*>(&m_casterDlg)}) {
    Take(v.hostPort, caster->m_strHostPortStored);
    Take(v.userPassword, caster->m_strUserPassword);
    Take(v.attempts, caster->m_nAttemptsStored);
    Take(v.time, caster->m_nTimeStored);
  }
  Take(v.output, m_settingsDlg.m_nOutputStored);
  Take(v.port, port.m_strPort);
  Take(v.baud, port.m_strBaud);
  Take(v.dataBits, port.m_strDataBits);
  Take(v.parity, port.m_strParity);
  Take(v.stopBits, port.m_strStopBits);
  if (v.mountPoint) m_strMountPoint.Set(*v.mountPoint);
  Take(v.network, m_strSavedNetwork);
  Take(v.design, m_strDesign);
  UpdateData(false);
}

// Written whole to a temporary file and renamed over the old one, readable
// by its owner only when new: it holds the caster password.
bool CFieldcastDlg::SaveConfiguration() {
  if (!m_strIniReadProblem.empty()) {
    m_strSaveProblem = L"Settings not saved: " + m_strIniPath + L" could not be read at start (" +
                       m_strIniReadProblem + L"), so it is left as it is.";
    return false;
  }
  const CCasterDlgBase& caster = ActiveCasterDlg();
  const CComPortDlg& port = m_settingsDlg.m_comPortDlg;
  SettingsFileValues v;
  v.hostPort = caster.m_strHostPortStored;
  v.userPassword = caster.m_strUserPassword;
  v.output = m_settingsDlg.m_nOutputStored;
  v.port = port.m_strPort;
  v.baud = port.m_strBaud;
  v.dataBits = port.m_strDataBits;
  v.parity = port.m_strParity;
  v.stopBits = port.m_strStopBits;
  v.mountPoint = m_strMountPoint.Get();
  v.network = m_strNetwork;
  v.design = m_strDesign;
  std::wstring reason;
  if (ReplaceFileAtomically(m_strIniPath, ComposeSettingsFile(v), /*ownerOnly=*/true, &reason)) return true;
  m_strSaveProblem = L"Settings not saved: cannot write " + m_strIniPath + L" (" + reason + L").";
  return false;
}
