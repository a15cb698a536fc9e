#pragma once
// The stream details view's template: Previous and Next above the
// read-only details text. Its soft keys are menu bar 143.
constexpr unsigned IDD_STREAM_DETAILS = 129;
constexpr int IDC_PREVIOUS = 1018;
constexpr int IDC_NEXT = 1019;
constexpr int IDC_DETAILS_TEXT = 1020;

void RegisterStreamDetailsResources();
