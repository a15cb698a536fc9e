#include "framework/Resources.h"
#include "res/CasterDialogIds.h"
#include "res/HealthResources.h"
#include "res/ResourceIds.h"
#include "res/SettingsResourceIds.h"
#include "res/StreamDetailsResources.h"

namespace {

// The main window on a phone-sized screen: 40 columns, 14 body rows.
DialogTemplate MainWindow() {
  DialogTemplate d;
  d.id = IDD_FIELDCAST_DIALOG;
  d.title = L"GNSS - FC";
  d.controls = {
      {IDC_BROADCASTER, ControlKind::PushButton, {1, 0, 20, 1}, L"Broadcaster"},
      {IDC_SETTINGS, ControlKind::PushButton, {21, 0, 39, 1}, L"Settings"},
      {IDC_START, ControlKind::PushButton, {1, 2, 10, 3}, L"Start"},
      {IDC_STOP, ControlKind::PushButton, {11, 2, 19, 3}, L"Stop"},
      {IDC_STREAM_DETAILS, ControlKind::PushButton, {20, 2, 39, 3}, L"Stream Details"},
      {IDC_BYTES_LABEL, ControlKind::Static, {1, 4, 8, 5}, L"Bytes:"},
      {IDC_BYTES, ControlKind::Static, {9, 4, 39, 5}, L"0", SS_RIGHT},
      {IDC_PROGRESS, ControlKind::Progress, {1, 5, 39, 6}, L""},
      {IDC_LIST_NETWORKS, ControlKind::ListBox, {1, 7, 39, 8}, L""},
      {IDC_SPIN_NETWORKS, ControlKind::UpDown, {39, 7, 39, 8}, L"", UDS_HORZ | UDS_ARROWKEYS | UDS_EXPANDABLE},
      {IDC_LIST_STREAMS, ControlKind::ListBox, {1, 9, 39, 10}, L"", LBS_SORT},
      {IDC_SPIN_STREAMS, ControlKind::UpDown, {39, 9, 39, 10}, L"", UDS_HORZ | UDS_ARROWKEYS | UDS_EXPANDABLE},
      {IDC_STATUS, ControlKind::Static, {1, 11, 39, 13}, L"Adjust Settings or press START"},
      {IDC_MAKERS_MARK, ControlKind::Static, {20, 13, 39, 14}, L"fieldcast", SS_RIGHT},
  };
  return d;
}

}  // namespace

void RegisterFieldcastResources() {
  Resources::AddString(IDS_OK, L"OK");
  Resources::AddString(IDS_CANCEL, L"Cancel");
  Resources::AddString(IDS_EXIT, L"Exit");
  Resources::AddString(IDS_CLOSE, L"Close");
  Resources::AddString(IDS_VISIT_LINK, L"Visit Link");
  Resources::AddString(IDS_SELECT, L"Select");
  Resources::AddString(IDP_SOCKETS_INIT_FAILED, L"Windows sockets initialization failed.");

  Resources::AddMenuBar({IDR_MENUBAR_MAIN, {{IDS_EXIT, IDOK}}});
  Resources::AddMenuBar({IDR_MENUBAR_ABOUT, {{IDS_CLOSE, IDOK}, {IDS_VISIT_LINK, IDC_VISIT_LINK}}});
  Resources::AddMenuBar({IDR_MENUBAR_SETTINGS, {{IDS_OK, IDOK}, {IDS_CANCEL, IDCANCEL}}});
  Resources::AddMenuBar({IDR_MENUBAR_DETAILS, {{IDS_SELECT, IDOK}, {IDS_CANCEL, IDCANCEL}}});

  Resources::AddDialog(MainWindow());
  RegisterSettingsResources();
  RegisterCasterDialogResources();
  RegisterStreamDetailsResources();
  RegisterHealthResources();
}
