#pragma once
// CStreamHealthDlg: the "Stream health" page, opened with F3 from the main
// window. It shows one snapshot of the stream's health as a scrollable
// text, takes a fresh one every second, and Back returns. User-interface
// thread only.
#include <functional>
#include <string>

#include "framework/CommandBar.h"
#include "framework/Dialog.h"
#include "framework/Edit.h"
#include "health/StreamHealth.h"

class CStreamHealthDlg : public CDialog {
 public:
  // `status`: the main window's status line, read at every refresh.
  CStreamHealthDlg(const StreamHealth& health, std::function<std::wstring()> status);

  void DoDataExchange(CDataExchange* pDX) override;
  bool PreTranslateMessage(MSG* pMsg) override;
  bool OnInitDialog() override;
  const MessageMap& GetMessageMap() const override;

 private:
  void OnRefreshTimer(UINT id);
  void Refresh();

  const StreamHealth& m_health;
  std::function<std::wstring()> m_status;
  CCommandBar m_dlgCommandBar;
  CEdit m_editText;
  std::wstring m_strText;
};
