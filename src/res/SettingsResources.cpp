#include "framework/Resources.h"
#include "res/SettingsResourceIds.h"

namespace {

constexpr unsigned kSpinner = UDS_HORZ | UDS_ARROWKEYS | UDS_EXPANDABLE;

// Five spinner lists, one per line setting, each with a label in front.
DialogTemplate ComPortSettings() {
  DialogTemplate d;
  d.id = IDD_COMPORT;
  d.title = L"COM-Port Settings";
  const struct {
    int list, spin;
    const wchar_t* label;
  } rows[] = {
      {IDC_LIST_PORT, IDC_SPIN_PORT, L"Port"},
      {IDC_LIST_BAUD, IDC_SPIN_BAUD, L"Baud rate"},
      {IDC_LIST_DATABITS, IDC_SPIN_DATABITS, L"Data bits"},
      {IDC_LIST_PARITY, IDC_SPIN_PARITY, L"Parity"},
      {IDC_LIST_STOPBITS, IDC_SPIN_STOPBITS, L"Stop bits"},
  };
  int top = 1;
  for (const auto& row : rows) {
    d.controls.push_back({IDC_STATIC, ControlKind::Static, {1, top, 12, top + 1}, row.label});
    d.controls.push_back({row.list, ControlKind::ListBox, {13, top, 39, top + 1}, L""});
    d.controls.push_back({row.spin, ControlKind::UpDown, {39, top, 39, top + 1}, L"", kSpinner});
    top += 2;
  }
  return d;
}

// OK and Cancel exist but stay hidden: the soft keys take their place.
DialogTemplate OutputSettings() {
  DialogTemplate d;
  d.id = IDD_SETTINGS;
  d.title = L"Settings";
  d.controls = {
      {IDC_STATIC, ControlKind::GroupBox, {1, 0, 39, 7}, L"Select Output"},
      {IDC_OUTPUT_COMPORT, ControlKind::RadioButton, {3, 1, 37, 2}, L"Com-Port", WS_GROUP},
      {IDC_OUTPUT_NONE, ControlKind::RadioButton, {3, 2, 37, 3}, L"None"},
      {IDC_COMPORT_SETTINGS, ControlKind::PushButton, {3, 4, 37, 5}, L"Com-Port Settings"},
      {IDC_ABOUT, ControlKind::PushButton, {1, 9, 39, 10}, L"About"},
      {1, ControlKind::PushButton, {1, 12, 19, 13}, L"OK"},
      {2, ControlKind::PushButton, {21, 12, 39, 13}, L"Cancel"},
  };
  return d;
}

// Both About pages share one layout: the picture top left, the product and
// its purpose beside it, the address below, the disclaimer at the bottom.
DialogTemplate About(unsigned id, int pictureId, const wchar_t* picture, const wchar_t* product,
                     const wchar_t* purpose, const wchar_t* link, const wchar_t* disclaimer) {
  DialogTemplate d;
  d.id = id;
  d.title = L"About";
  d.controls = {
      {pictureId, ControlKind::Static, {1, 0, 10, 4}, picture},
      {IDC_ABOUT_PRODUCT, ControlKind::Static, {11, 0, 39, 1}, product},
      {IDC_ABOUT_PURPOSE, ControlKind::Static, {11, 1, 39, 4}, purpose},
      {IDC_ABOUT_FURTHER, ControlKind::Static, {1, 5, 39, 6}, L"Further information"},
      {IDC_ABOUT_LINK, ControlKind::Static, {1, 6, 39, 7}, link},
      {IDC_ABOUT_DISCLAIMER, ControlKind::Static, {1, 8, 39, 13}, disclaimer},
  };
  return d;
}

// The program's icon: an antenna sending to the receiver below it.
constexpr wchar_t kIcon[] = L" \\ | /\n--(o)--\n  /|\\\n /_|_\\";
// The service's logo: a crow's head over the service's name.
constexpr wchar_t kLogo[] = L"  __\n <o )=\n  ( \\\n  NET";

}  // namespace

void RegisterSettingsResources() {
  Resources::AddDialog(ComPortSettings());
  Resources::AddDialog(OutputSettings());
  Resources::AddDialog(About(IDD_ABOUT_NORMAL, IDC_ABOUT_ICON, kIcon, L"Fieldcast",
                             L"Developed for receiving GNSS streaming data over Internet.", kInformationPageNormal,
                             L"The maker of Fieldcast is not liable for damages of any kind, direct or "
                             L"consequential, that may result from using this software."));
  Resources::AddDialog(About(IDD_ABOUT_CORVO, IDC_ABOUT_LOGO, kLogo, L"corvoNET 1.0.2",
                             L"Developed for receiving GNSS streaming data from corvo NET over Internet.",
                             kInformationPageCorvo,
                             L"Neither the maker of Fieldcast nor the corvoNET service is liable for damages "
                             L"of any kind, direct or consequential, that may result from using this software."));
}
