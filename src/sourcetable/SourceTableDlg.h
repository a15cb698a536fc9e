#pragma once
// CSourceTableDlg: the stream details view. Shows everything the source
// table says about one stream, its network and the caster in use as one
// scrollable text, and pages through all streams with Previous and Next.
// Select (the left soft key) ends it with IDOK; the main window then
// chooses the stream at m_nCurrent.
//
// The main window keeps one instance for the program's life, and with it
// the program's only parsed source table, which the main window reads for
// its lists even while the view is closed. User-interface thread only.
#include <string>
#include <vector>

#include "framework/CommandBar.h"
#include "framework/Dialog.h"
#include "framework/Edit.h"
#include "framework/Gdi.h"
#include "res/StreamDetailsResources.h"
#include "sourcetable/SourceTable.h"

class CSourceTableDlg : public CDialog {
 public:
  CSourceTableDlg();

  void DoDataExchange(CDataExchange* pDX) override;
  bool PreTranslateMessage(MSG* pMsg) override;
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) override;
  const MessageMap& GetMessageMap() const override;

  // True when the text holds no letter (a numeric address, or nothing).
  static bool HasNoLetters(const std::wstring& text);

  CCommandBar m_dlgCommandBar;
  CBrush m_brushAccent;
  CBrush m_brushWhite;
  CBrush m_brushDefault;  // never given a colour: the display's defaults
  std::wstring m_strDesign;         // the main window's branding key
  std::wstring m_strCasterAddress;  // the caster in use, "host:port"
  std::wstring m_strCurrentMountPoint;  // the stream to open on
  int m_nCurrent = 0;  // 1-based index in the stream table; 0: no stream
  SourceTable m_sourceTable;
  std::wstring m_strText;
  int m_nCount = 0;
  std::wstring m_strCasterLine1;
  std::wstring m_strCasterLine2;
  std::wstring m_strCasterLine3;
  CEdit m_editText;

 private:
  void OnPrevious();
  void OnNext();
  void OnLookupTimer(UINT id);
  void StartLookups();
  void ComposeCasterLines();
  void FindCurrentEntry();
  void ShowEntry(int n);
  // Shows the new entry from its first line.
  void ShowPagedEntry();
  void EnableSelect(bool enable) { m_bSelectEnabled = enable; }
  // The caster hosts ComposeCasterLines needs looked up (empty when the
  // caster in use is given by name).
  std::vector<std::string> HostsToLookUp() const;

  bool m_bSelectEnabled = true;
  unsigned m_nAnswersShown = 0;  // look-up answers the caster lines know
  int m_nLookupTicks = 0;
};
