#include "res/StreamDetailsResources.h"

#include "framework/Resources.h"

// On the phone-sized screen: the buttons on the first body row, the text
// below them over the remaining twelve rows.
void RegisterStreamDetailsResources() {
  DialogTemplate d;
  d.id = IDD_STREAM_DETAILS;
  d.title = L"Stream Details";
  d.controls = {
      {IDC_PREVIOUS, ControlKind::PushButton, {1, 0, 19, 1}, L"Previous"},
      {IDC_NEXT, ControlKind::PushButton, {21, 0, 39, 1}, L"Next"},
      {IDC_DETAILS_TEXT, ControlKind::Edit, {1, 2, 39, 14}, L"", ES_MULTILINE | ES_READONLY | WS_VSCROLL},
  };
  Resources::AddDialog(d);
}
