#pragma once
// The stream details view. It owns the program's one parsed source table,
// which the main window uses directly for its lists and look-ups.
#include <string>

#include "framework/Dialog.h"
#include "sourcetable/SourceTable.h"

constexpr unsigned IDD_STREAM_DETAILS = 129;

class CSourceTableDlg : public CDialog {
 public:
  CSourceTableDlg() : CDialog(IDD_STREAM_DETAILS) {}

  SourceTable m_sourceTable;
  std::wstring m_strDesign;      // copy of the main window's branding key
  std::wstring m_strMountPoint;  // the stream shown first
  int m_nCurrentEntry = 0;       // stream list position of the stream shown
};
