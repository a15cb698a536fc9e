#pragma once
// What both About dialogs share: the soft keys "Close" and "Visit Link",
// the texts, the picture, the link control and the opening of the
// information page. The two brandings differ in their template, address
// and colours.
#include <string>

#include "dialogs/StaticLink.h"
#include "dialogs/TextBlock.h"
#include "framework/CommandBar.h"
#include "framework/Dialog.h"

class CAboutDlgBase : public CDialog {
 public:
  CAboutDlgBase(UINT templateId, int pictureId, std::wstring address)
      : CDialog(templateId), m_nPictureId(pictureId), m_strAddress(std::move(address)) {}

  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  const MessageMap& GetMessageMap() const override;

  // Asks the platform to open the information page ("Visit Link" and the
  // link's click). Without a browser nothing opens: the address stays on
  // the screen as the link's text, and the trace says why.
  void OpenInformationPage();
  const std::wstring& InformationPage() const { return m_strAddress; }

  CCommandBar m_wndCommandBar;
  CStaticLink m_link;

 private:
  int m_nPictureId;
  std::wstring m_strAddress;
  CTextBlock m_picture;
  CTextBlock m_purpose;
  CTextBlock m_disclaimer;
};
