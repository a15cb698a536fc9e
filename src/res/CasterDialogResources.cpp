#include "framework/Resources.h"
#include "res/CasterDialogIds.h"

namespace {

// What both templates share below the caster row, on the 40-column screen:
// the long labels get rows of their own so they are never cut.
std::vector<ControlTemplate> CredentialAndReconnectionRows(int user, int password, int attempts, int time) {
  return {
      {IDC_USER_LABEL, ControlKind::Static, {1, 2, 11, 3}, L"User ID:"},
      {user, ControlKind::Edit, {11, 2, 39, 3}, L""},
      {IDC_PASSWORD_LABEL, ControlKind::Static, {1, 3, 11, 4}, L"Password:"},
      {password, ControlKind::Edit, {11, 3, 39, 4}, L"", ES_PASSWORD},
      {IDC_RECONNECTION_GROUP, ControlKind::GroupBox, {0, 5, 40, 11}, L"Reconnection Settings"},
      {IDC_ATTEMPTS_LABEL, ControlKind::Static, {1, 6, 33, 7}, L"Number of reconnection attempts:"},
      {attempts, ControlKind::Edit, {34, 6, 39, 7}, L""},
      {IDC_TIME_LABEL, ControlKind::Static, {1, 8, 39, 9}, L"Time between reconnection attempts:"},
      {time, ControlKind::Edit, {1, 9, 7, 10}, L""},
      {IDC_SECONDS_LABEL, ControlKind::Static, {8, 9, 16, 10}, L"seconds"},
  };
}

DialogTemplate GenericCasterDialog() {
  DialogTemplate d;
  d.id = IDD_BROADCASTER_NORMAL;
  d.title = L"Broadcaster";
  d.controls = {
      {IDC_HOSTPORT_LABEL, ControlKind::Static, {1, 0, 11, 1}, L"Host:Port"},
      {IDC_HOSTPORT_COMBO, ControlKind::ComboBox, {11, 0, 39, 1}, L"", CBS_SORT | WS_VSCROLL},
  };
  for (auto& row : CredentialAndReconnectionRows(IDC_USER, IDC_PASSWORD, IDC_ATTEMPTS, IDC_TIME))
    d.controls.push_back(row);
  return d;
}

DialogTemplate CorvoCasterDialog() {
  DialogTemplate d;
  d.id = IDD_BROADCASTER_CORVO;
  d.title = L"Broadcaster";
  d.controls = {
      {IDC_HOSTPORT_LABEL, ControlKind::Static, {1, 0, 11, 1}, L"Host:Port"},
      {IDC_CASTER_LIST, ControlKind::ListBox, {11, 0, 38, 1}, L"", WS_VSCROLL},
      {IDC_CASTER_SPIN, ControlKind::UpDown, {38, 0, 39, 1}, L"", UDS_HORZ | UDS_ARROWKEYS | UDS_EXPANDABLE},
  };
  for (auto& row : CredentialAndReconnectionRows(IDC_CORVO_USER, IDC_CORVO_PASSWORD, IDC_CORVO_ATTEMPTS, IDC_CORVO_TIME))
    d.controls.push_back(row);
  return d;
}

}  // namespace

void RegisterCasterDialogResources() {
  Resources::AddDialog(GenericCasterDialog());
  Resources::AddDialog(CorvoCasterDialog());
}
