// What reaches the screen: colours from OnCtlColor, control characters made
// visible, and the headless display's status lines and signals.
#include <signal.h>

#include <cstdio>
#include <cctype>
#include <set>

#include "Harness.h"
#include "framework/headless/HeadlessDisplay.h"

namespace fwtest {
namespace {

enum : int { kLabel = 10, kButton, kEdit, kList, kHidden };

constexpr COLORREF kDialogBlue = RGB(0, 0, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(200, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);

class Paint : public FrameworkTest {};

TEST_F(Paint, OnCtlColorColoursEveryControlDrawnAndTheDialog) {
  TestDlg dlg(AddTemplate({{kLabel, ControlKind::Static, {0, 0, 20, 1}, L"Label"},
                           {kButton, ControlKind::PushButton, {0, 1, 20, 2}, L"Go"},
                           {kEdit, ControlKind::Edit, {0, 2, 20, 3}, L"text"},
                           {kList, ControlKind::ListBox, {0, 3, 20, 4}, L""},
                           {kHidden, ControlKind::Static, {0, 4, 20, 5}, L"Hidden"}}));
  dlg.onInit = [&] { dlg.GetDlgItem(kHidden)->ShowWindow(false); };
  std::set<std::pair<int, UINT>> asked;
  const CBrush dialogBrush(kDialogBlue);
  const CBrush fieldBrush(kWhite);
  dlg.ctlColor = [&](CDC* dc, CWnd* wnd, UINT kind) -> HBRUSH {
    asked.insert({wnd->GetDlgCtrlID(), kind});
    if (kind == CTLCOLOR_DLG) return &dialogBrush;
    if (kind == CTLCOLOR_EDIT) {
      dc->SetTextColor(kRed);
      dc->SetBkColor(kGreen);
      return &fieldBrush;
    }
    if (kind == CTLCOLOR_STATIC) {
      dc->SetTextColor(kYellow);
      dc->SetBkColor(kGreen);
      dc->SetBkMode(TRANSPARENT);  // the text takes the brush's colour
      return &dialogBrush;
    }
    return nullptr;
  };
  display.Do([&] {
    const Canvas& screen = display.Screen();
    const int row = CDialog::kBodyTop;
    EXPECT_EQ(screen.At(30, row + 5).bg, CellColor::Of(kDialogBlue));  // the dialog's own background
    EXPECT_EQ(screen.At(0, row).ch, L'L');
    EXPECT_EQ(screen.At(0, row).fg, CellColor::Of(kYellow));
    EXPECT_EQ(screen.At(0, row).bg, CellColor::Of(kDialogBlue));
    EXPECT_EQ(screen.At(0, row + 2).ch, L't');
    EXPECT_EQ(screen.At(0, row + 2).fg, CellColor::Of(kRed));
    EXPECT_EQ(screen.At(0, row + 2).bg, CellColor::Of(kGreen));
    EXPECT_EQ(screen.At(1, row + 3).bg, CellColor::Default());  // the list's null brush
  });
  display.Key(VK_F2);
  EXPECT_EQ(Run(dlg), IDCANCEL);
  const std::set<std::pair<int, UINT>> expected = {{static_cast<int>(dlg.TemplateId()), CTLCOLOR_DLG},
                                                   {kLabel, CTLCOLOR_STATIC},
                                                   {kButton, CTLCOLOR_BTN},
                                                   {kEdit, CTLCOLOR_EDIT},
                                                   {kList, CTLCOLOR_LISTBOX}};
  EXPECT_EQ(asked, expected);
}

TEST(CanvasTest, ControlCharactersAreDrawnVisiblyNeverRaw) {
  struct Case {
    const char* legend;
    std::wstring text;
    std::wstring shown;
  };
  const Case cases[] = {
      {"line ends", L"a\r\nb", L"a^M^Jb"},
      {"terminal escape", L"\x1b[2J", L"^[[2J"},
      {"delete", L"\x7f", L"^?"},
      {"C1 control", L"\x9b", L"\uFFFD"},
      {"lone surrogate", std::wstring(1, static_cast<wchar_t>(0xD800)), L"\uFFFD"},
      {"beyond Unicode", std::wstring(1, static_cast<wchar_t>(0x110000)), L"\uFFFD"},
      {"negative code", std::wstring(1, static_cast<wchar_t>(-100)), L"\uFFFD"},
      {"printable kept", L"Zürich ✓", L"Zürich ✓"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    Canvas canvas(20, 1);
    canvas.Text(0, 0, c.text, 20, CellColor::Default(), CellColor::Default());
    EXPECT_EQ(canvas.Row(0).substr(0, c.shown.size()), c.shown);
  }
}

std::vector<std::string> ReadLines(std::FILE* file) {
  std::rewind(file);
  std::vector<std::string> lines;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, file) != nullptr) lines.emplace_back(buffer);
  return lines;
}

// "2026-01-31T12:34:56.789 text\n"
bool IsStampedLine(const std::string& line, const std::string& text) {
  const std::string shape = "dddd-dd-ddTdd:dd:dd.ddd ";
  if (line != line.substr(0, shape.size()) + text + "\n") return false;
  for (size_t i = 0; i < shape.size(); ++i)
    if (shape[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(line[i])) : line[i] != shape[i]) return false;
  return true;
}

TEST(HeadlessDisplayTest, PrintsEachStatusChangeOnceWithATimestamp) {
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  {
    HeadlessDisplay headless(out);
    Canvas canvas(40, 16);
    for (const wchar_t* status : {L"Connecting", L"Connecting", L"Streaming\x1b", L"Streaming\x1b", L"Connecting"}) {
      ScreenInfo info;
      info.statusLine = status;
      headless.Show(canvas, info);
    }
  }
  const std::vector<std::string> lines = ReadLines(out);
  std::fclose(out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(IsStampedLine(lines[0], "Connecting")) << lines[0];
  EXPECT_TRUE(IsStampedLine(lines[1], "Streaming^[")) << lines[1];
  EXPECT_TRUE(IsStampedLine(lines[2], "Connecting")) << lines[2];
}

class Headless : public FrameworkTest {};

// The signal is raised on this thread while the display blocks it, so only
// the display's signalfd sees it.
TEST_F(Headless, SigtermActsAsTheExitSoftKey) {
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  {
    HeadlessDisplay headless(out);
    EventLoop::Instance().SetDisplay(&headless);
    std::vector<InputEvent> events;
    ASSERT_EQ(raise(SIGTERM), 0);
    headless.ReadInput(events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, InputEvent::Kind::Exit);

    TestDlg dlg(AddTemplate({}));
    int exits = 0;
    dlg.OnCommandId(IDOK, BN_CLICKED, [&] { ++exits, dlg.EndDialog(IDABORT); });
    ASSERT_EQ(raise(SIGTERM), 0);
    EXPECT_EQ(dlg.DoModal(), IDABORT);
    EXPECT_EQ(exits, 1);
    EventLoop::Instance().SetDisplay(&display);
  }
  std::fclose(out);
}

}  // namespace
}  // namespace fwtest
