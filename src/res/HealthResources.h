#pragma once
// The stream health page's template: one read-only text over the body.
// Its soft key is "Back".
constexpr unsigned IDD_STREAM_HEALTH = 160;
constexpr unsigned IDR_MENUBAR_HEALTH = 161;
constexpr unsigned IDS_BACK = 40;
constexpr int IDC_HEALTH_TEXT = 1060;

void RegisterHealthResources();
