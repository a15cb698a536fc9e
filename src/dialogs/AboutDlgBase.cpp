#include "dialogs/AboutDlgBase.h"

#include "framework/DataExchange.h"
#include "platform/BrowserCheck.h"
#include "platform/ShellOpen.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "res/ResourceIds.h"
#include "res/SettingsResourceIds.h"

const MessageMap& CAboutDlgBase::GetMessageMap() const {
  static const MessageMap map = {
      OnCommand(IDC_ABOUT_LINK, &CAboutDlgBase::OpenInformationPage),
      OnCommand(IDC_VISIT_LINK, &CAboutDlgBase::OpenInformationPage),
  };
  return map;
}

void CAboutDlgBase::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, m_nPictureId, m_picture);
  DDX_Control(pDX, IDC_ABOUT_PURPOSE, m_purpose);
  DDX_Control(pDX, IDC_ABOUT_LINK, m_link);
  DDX_Control(pDX, IDC_ABOUT_DISCLAIMER, m_disclaimer);
}

bool CAboutDlgBase::OnInitDialog() {
  CDialog::OnInitDialog();
  if (!m_wndCommandBar.Create(this) || !m_wndCommandBar.InsertMenuBar(IDR_MENUBAR_ABOUT))
    platform::Trace("Failed to create CommandBar\n");
  // The link shows the template's address; it has no address of its own.
  m_link.m_link.clear();
  Invalidate();
  GotoDlgCtrl(&m_link);
  return false;
}

void CAboutDlgBase::OpenInformationPage() {
  const std::string why = platform::WhyNoBrowser();
  if (why.empty()) platform::ShellOpen(platform::NarrowLocal(m_strAddress));
  else platform::Trace("Visit Link: " + platform::NarrowLocal(m_strAddress) + " not opened: " + why + "\n");
  Invalidate();
}
