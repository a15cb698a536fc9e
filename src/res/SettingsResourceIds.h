#pragma once
// Resource numbers of the output settings, the COM-port settings and the
// two About dialogs.

constexpr unsigned IDD_COMPORT = 131;
constexpr unsigned IDD_SETTINGS = 132;
constexpr unsigned IDD_ABOUT_CORVO = 133;
constexpr unsigned IDD_ABOUT_NORMAL = 135;

// COM-port settings: the five lists and their spinners, in the same order.
constexpr int IDC_LIST_PORT = 1021;
constexpr int IDC_LIST_BAUD = 1022;
constexpr int IDC_LIST_DATABITS = 1023;
constexpr int IDC_LIST_PARITY = 1024;
constexpr int IDC_LIST_STOPBITS = 1025;
constexpr int IDC_SPIN_PORT = 1006;
constexpr int IDC_SPIN_BAUD = 1007;
constexpr int IDC_SPIN_DATABITS = 1008;
constexpr int IDC_SPIN_PARITY = 1009;
constexpr int IDC_SPIN_STOPBITS = 1010;

// Output settings.
constexpr int IDC_OUTPUT_COMPORT = 1022;
constexpr int IDC_OUTPUT_NONE = 1023;
constexpr int IDC_COMPORT_SETTINGS = 1024;
constexpr int IDC_ABOUT = 1025;

// About dialogs.
constexpr int IDC_ABOUT_PRODUCT = 1011;
constexpr int IDC_ABOUT_PURPOSE = 1012;
constexpr int IDC_ABOUT_FURTHER = 1018;
constexpr int IDC_ABOUT_LINK = 1019;
constexpr int IDC_ABOUT_DISCLAIMER = 1021;
constexpr int IDC_ABOUT_LOGO = 1024;  // the service's logo (Corvo)
constexpr int IDC_ABOUT_ICON = 1029;  // the program's icon (generic)
// Statics that only label other controls.
constexpr int IDC_STATIC = -1;

// The information pages the About dialogs offer. Both are placeholders
// until the project and the service publish their pages (see README).
inline constexpr wchar_t kInformationPageNormal[] = L"https://fieldcast.example.org/docs";
inline constexpr wchar_t kInformationPageCorvo[] = L"https://corvonet.example.net/info";

// Registers the four templates with the framework.
void RegisterSettingsResources();
