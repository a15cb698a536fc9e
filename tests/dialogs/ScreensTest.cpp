// Every screen as data: each template's title and controls (kind, cells,
// text, style), the soft keys and the port lists' entries in order. A
// changed word, a moved control or a reordered entry shows here as one line.
#include <gtest/gtest.h>

#include <sstream>

#include "dialogs/ComPortDlg.h"
#include "framework/Resources.h"
#include "platform/Text.h"
#include "res/CasterDialogIds.h"
#include "res/ResourceIds.h"
#include "res/SettingsResourceIds.h"
#include "res/StreamDetailsResources.h"

namespace {

// In the order of ControlKind.
const char* const kKindNames[] = {"Static", "Button", "Radio", "Group", "Edit", "List", "Spin", "Combo", "Progress"};

// "title", then one line a control: "Kind left,top-right,bottom 'text'", then
// the style bits in hexadecimal when there are any.
std::vector<std::string> Describe(UINT dialogId) {
  const DialogTemplate* d = Resources::FindDialog(dialogId);
  if (d == nullptr) return {"no template"};
  std::vector<std::string> lines{platform::Narrow(d->title)};
  for (const ControlTemplate& c : d->controls) {
    std::ostringstream line;
    line << kKindNames[static_cast<int>(c.kind)] << ' ' << c.rect.left << ',' << c.rect.top << '-' << c.rect.right << ','
         << c.rect.bottom << " '" << platform::Narrow(c.text) << "'";
    if (c.style != 0) line << " 0x" << std::hex << c.style;
    lines.push_back(line.str());
  }
  return lines;
}

std::string SoftKeys(UINT menuBarId) {
  const MenuBarTemplate* bar = Resources::FindMenuBar(menuBarId);
  if (bar == nullptr) return "no menu bar";
  std::string out;
  for (const SoftKey& key : bar->keys) out += (out.empty() ? "" : "|") + platform::Narrow(Resources::LoadString(key.stringId));
  return out;
}

std::vector<std::string> CasterRows() {
  return {
      "Static 1,2-11,3 'User ID:'",
      "Edit 11,2-39,3 ''",
      "Static 1,3-11,4 'Password:'",
      "Edit 11,3-39,4 '' 0x20",
      "Group 0,5-40,11 'Reconnection Settings'",
      "Static 1,6-33,7 'Number of reconnection attempts:'",
      "Edit 34,6-39,7 ''",
      "Static 1,8-39,9 'Time between reconnection attempts:'",
      "Edit 1,9-7,10 ''",
      "Static 8,9-16,10 'seconds'",
  };
}

std::vector<std::string> Joined(std::vector<std::string> head, const std::vector<std::string>& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

class ScreensTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterFieldcastResources(); }
};

TEST_F(ScreensTest, EveryTemplateHoldsItsControlsWithTheirTextsCellsAndStyles) {
  // Styles: 0x2 right-aligned text or sorted list, 0x20 password, 0x20000 first
  // of a group, 0x200000 scroll bar, 0x100 sorted combo, 0x804 multi-line read-only.
  const std::string spin = " 0x260";  // horizontal, arrow keys, expandable
  const struct {
    UINT id;
    std::vector<std::string> lines;
  } screens[] = {
      {IDD_FIELDCAST_DIALOG,
       {"GNSS - FC", "Button 1,0-20,1 'Broadcaster'", "Button 21,0-39,1 'Settings'", "Button 1,2-10,3 'Start'",
        "Button 11,2-19,3 'Stop'", "Button 20,2-39,3 'Stream Details'", "Static 1,4-8,5 'Bytes:'",
        "Static 9,4-39,5 '0' 0x2", "Progress 1,5-39,6 ''", "List 1,7-39,8 ''", "Spin 39,7-39,8 ''" + spin,
        "List 1,9-39,10 '' 0x2", "Spin 39,9-39,10 ''" + spin, "Static 1,11-39,13 'Adjust Settings or press START'",
        "Static 20,13-39,14 'fieldcast' 0x2"}},
      {IDD_SETTINGS,
       {"Settings", "Group 1,0-39,7 'Select Output'", "Radio 3,1-37,2 'Com-Port' 0x20000", "Radio 3,2-37,3 'None'",
        "Button 3,4-37,5 'Com-Port Settings'", "Button 1,9-39,10 'About'", "Button 1,12-19,13 'OK'",
        "Button 21,12-39,13 'Cancel'"}},
      {IDD_COMPORT,
       {"COM-Port Settings", "Static 1,1-12,2 'Port'", "List 13,1-39,2 ''", "Spin 39,1-39,2 ''" + spin,
        "Static 1,3-12,4 'Baud rate'", "List 13,3-39,4 ''", "Spin 39,3-39,4 ''" + spin, "Static 1,5-12,6 'Data bits'",
        "List 13,5-39,6 ''", "Spin 39,5-39,6 ''" + spin, "Static 1,7-12,8 'Parity'", "List 13,7-39,8 ''",
        "Spin 39,7-39,8 ''" + spin, "Static 1,9-12,10 'Stop bits'", "List 13,9-39,10 ''",
        "Spin 39,9-39,10 ''" + spin}},
      {IDD_BROADCASTER_NORMAL,
       Joined({"Broadcaster", "Static 1,0-11,1 'Host:Port'", "Combo 11,0-39,1 '' 0x200100"}, CasterRows())},
      {IDD_BROADCASTER_CORVO,
       Joined({"Broadcaster", "Static 1,0-11,1 'Host:Port'", "List 11,0-38,1 '' 0x200000", "Spin 38,0-39,1 ''" + spin},
              CasterRows())},
      {IDD_STREAM_DETAILS,
       {"Stream Details", "Button 1,0-19,1 'Previous'", "Button 21,0-39,1 'Next'",
        "Edit 1,2-39,14 '' 0x200804"}},
      {IDD_ABOUT_NORMAL,
       {"About", "Static 1,0-10,4 ' \\ | /\n--(o)--\n  /|\\\n /_|_\\'", "Static 11,0-39,1 'Fieldcast'",
        "Static 11,1-39,4 'Developed for receiving GNSS streaming data over Internet.'",
        "Static 1,5-39,6 'Further information'", "Static 1,6-39,7 'https://fieldcast.example.org/docs'",
        "Static 1,8-39,13 'The maker of Fieldcast is not liable for damages of any kind, direct or consequential, "
        "that may result from using this software.'"}},
      {IDD_ABOUT_CORVO,
       {"About", "Static 1,0-10,4 '  __\n <o )=\n  ( \\\n  NET'", "Static 11,0-39,1 'corvoNET 1.0.2'",
        "Static 11,1-39,4 'Developed for receiving GNSS streaming data from corvo NET over Internet.'",
        "Static 1,5-39,6 'Further information'", "Static 1,6-39,7 'https://corvonet.example.net/info'",
        "Static 1,8-39,13 'Neither the maker of Fieldcast nor the corvoNET service is liable for damages of any "
        "kind, direct or consequential, that may result from using this software.'"}},
  };
  for (const auto& screen : screens) EXPECT_EQ(Describe(screen.id), screen.lines) << "dialog " << screen.id;
}

TEST_F(ScreensTest, SoftKeysAndPortListsHoldTheirEntriesInOrder) {
  EXPECT_EQ(SoftKeys(IDR_MENUBAR_MAIN), "Exit");
  EXPECT_EQ(SoftKeys(IDR_MENUBAR_SETTINGS), "OK|Cancel");
  EXPECT_EQ(SoftKeys(IDR_MENUBAR_ABOUT), "Close|Visit Link");
  EXPECT_EQ(SoftKeys(IDR_MENUBAR_DETAILS), "Select|Cancel");

  using Texts = std::vector<std::wstring>;
  EXPECT_EQ(ComPortEntries(), (Texts{L"COM1", L"COM2", L"COM3", L"COM4", L"COM5", L"COM6", L"COM7", L"COM8", L"COM9"}));
  EXPECT_EQ(BaudRateEntries(), (Texts{L"50", L"300", L"1200", L"2400", L"4800", L"9600", L"19200", L"38400", L"57600",
                                      L"115200", L"230400", L"460800"}));
  EXPECT_EQ(DataBitsEntries(), (Texts{L"7 data bits", L"8 data bits"}));
  EXPECT_EQ(ParityEntries(), (Texts{L"no parity", L"even parity", L"odd parity"}));
  EXPECT_EQ(StopBitsEntries(), (Texts{L"1 stop bit", L"1.5 stop bits", L"2 stop bits"}));
}

}  // namespace
