#include "res/HealthResources.h"

#include "framework/Resources.h"
#include "framework/Types.h"

void RegisterHealthResources() {
  DialogTemplate d;
  d.id = IDD_STREAM_HEALTH;
  d.title = L"Stream health";
  d.controls = {
      {IDC_HEALTH_TEXT, ControlKind::Edit, {1, 0, 39, 14}, L"", ES_MULTILINE | ES_READONLY | WS_VSCROLL},
  };
  Resources::AddDialog(d);
  Resources::AddString(IDS_BACK, L"Back");
  Resources::AddMenuBar({IDR_MENUBAR_HEALTH, {{IDS_BACK, IDCANCEL}}});
}
