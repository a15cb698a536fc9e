// The Corvo caster dialog: its list from CorvoNet.ini with names resolved,
// OK without a selection, Cancel, the colours and the Back key.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "DialogFixture.h"
#include "dialogs/BoundedHostLookup.h"
#include "dialogs/BroadcasterDlg.h"
#include "platform/HostLookup.h"

namespace {

constexpr char kTail[] = ";Corvo;Corvo GmbH;1;DEU;50.0;8.0;none;0;misc\n";

class CorvoCasterDlgTest : public CasterDlgTest {
 protected:
  void Configure(const std::string& list, const std::wstring& caster) {
    dlg.m_strListFile = ListPath("CorvoNet.ini", list);
    dlg.m_strDesign = L"Corvo";
    dlg.m_strHostPortStored = caster;
    dlg.m_strUserPassword = L"u0:p0";
    dlg.m_nAttemptsStored = 10;
    dlg.m_nTimeStored = 5;
    dlg.RestoreFromStored();
  }
  std::vector<std::wstring> Entries() {
    std::vector<std::wstring> texts;
    for (int i = 0; i < dlg.m_listCasters.GetCount(); ++i) {
      std::wstring text;
      dlg.m_listCasters.GetText(i, text);
      texts.push_back(text);
    }
    return texts;
  }

  CBroadcasterDlg dlg;
};

std::string CorvoList() {
  return std::string("CAS;localhost;2101") + kTail + "CAS;192.0.2.7;2102" + kTail + "CAS;caster-one.example;2103" +
         kTail + "CAS;no.such.name.invalid;2104" + kTail + "ENDSOURCETABLE\n";
}

TEST_F(CorvoCasterDlgTest, NamesResolveAddressesAndOtherNamesStayAsWritten) {
  Configure(CorvoList(), L"192.0.2.7:2102");
  // The real resolver for localhost; a name the test controls fails.
  dlg.m_lookup = [](const std::string& host, std::string& dotted) {
    if (host == "no.such.name.invalid") return false;
    return platform::LookupHostIPv4(host, dotted);
  };
  std::vector<std::wstring> entries;
  std::wstring shown;
  display.Do([&] {
    entries = Entries();
    dlg.m_listCasters.GetText(dlg.m_listCasters.GetCurSel(), shown);
  });
  display.Key(VK_F2);
  EXPECT_EQ(Run(dlg), IDCANCEL);
  EXPECT_EQ(entries, (std::vector<std::wstring>{L"127.0.0.1:2101", L"192.0.2.7:2102", L"caster-one.example:2103",
                                                L":2104"}));
  EXPECT_EQ(shown, L"192.0.2.7:2102");
}

TEST_F(CorvoCasterDlgTest, ALookupThatDoesNotAnswerInTimeLeavesTheHostEmpty) {
  Configure(CorvoList(), L"192.0.2.7:2102");
  // A resolver that hangs until the test ends, as one without a name server.
  auto gate = std::make_shared<std::pair<std::mutex, std::condition_variable>>();
  auto released = std::make_shared<bool>(false);
  dlg.m_lookup = [gate, released](const std::string&, std::string&) {
    std::unique_lock lock(gate->first);
    gate->second.wait(lock, [&] { return *released; });
    return false;
  };
  dlg.m_lookupDeadline = std::chrono::milliseconds(50);
  std::vector<std::wstring> entries;
  display.Do([&] { entries = Entries(); }).Key(VK_F2);
  EXPECT_EQ(Run(dlg), IDCANCEL);
  {
    const std::lock_guard lock(gate->first);
    *released = true;
  }
  gate->second.notify_all();
  EXPECT_EQ(entries,
            (std::vector<std::wstring>{L":2101", L"192.0.2.7:2102", L"caster-one.example:2103", L":2104"}));
}

// Threads of this process, from the kernel's count.
int ThreadCount() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("Threads:", 0) == 0) return std::stoi(line.substr(8));
  return -1;
}

// A service's list may hold thousands of names; with a resolver that never
// answers, a thread per name ran the program out of memory and descriptors.
// The look-ups share a few threads across every opening, and each opening
// lists what did not resolve in time with an empty host.
TEST_F(CorvoCasterDlgTest, TenThousandNamesAndAResolverThatNeverAnswers) {
  constexpr int kNames = 10000;
  std::string list;
  for (int i = 0; i < kNames; ++i) list += "CAS;caster" + std::string(1, static_cast<char>('a' + i % 26)) + ".n" +
                                           std::string(1, static_cast<char>('a' + i / 26 % 26)) +
                                           std::string(1, static_cast<char>('a' + i / 676)) + ".example;2101" + kTail;
  Configure(list + "ENDSOURCETABLE\n", L"192.0.2.7:2102");
  struct Resolver {
    std::mutex mutex;
    std::condition_variable released;
    bool open = false;
    int inside = 0;
    int mostInside = 0;
  };
  auto resolver = std::make_shared<Resolver>();
  dlg.m_lookup = [resolver](const std::string&, std::string&) {
    std::unique_lock lock(resolver->mutex);
    resolver->mostInside = std::max(resolver->mostInside, ++resolver->inside);
    resolver->released.wait(lock, [&] { return resolver->open; });
    --resolver->inside;
    return false;
  };
  dlg.m_lookupDeadline = std::chrono::milliseconds(100);
  const int threadsBefore = ThreadCount();
  std::vector<std::vector<std::wstring>> openings;
  for (int opening = 0; opening < 3; ++opening) {
    display.Do([&] { openings.push_back(Entries()); }).Key(VK_F2);
    EXPECT_EQ(Run(dlg), IDCANCEL);
  }
  const int threadsAfter = ThreadCount();
  int mostInside = 0;
  {
    const std::lock_guard lock(resolver->mutex);
    resolver->open = true;
    mostInside = resolver->mostInside;
  }
  resolver->released.notify_all();
  ASSERT_EQ(openings.size(), 3u);
  for (const auto& entries : openings) {
    ASSERT_EQ(entries.size(), static_cast<size_t>(kNames));
    EXPECT_EQ(std::count(entries.begin(), entries.end(), L":2101"), kNames);
  }
  EXPECT_GE(mostInside, 1);
  EXPECT_LE(mostInside, static_cast<int>(kMaxHostLookupThreads));
  EXPECT_LE(threadsAfter - threadsBefore, static_cast<int>(kMaxHostLookupThreads));
}

TEST_F(CorvoCasterDlgTest, OkWithoutASelectionKeepsTheStoredCaster) {
  struct Case {
    const char* legend;
    bool withList;
  };
  for (const Case& c : {Case{"a configured name matches no resolved entry", true}, Case{"no CorvoNet.ini", false}}) {
    Configure(CorvoList(), L"caster.corvo.example:2101");
    if (!c.withList) dlg.m_strListFile = platform::WidenLocal(dir.File("missing.ini"));
    dlg.m_lookup = [](const std::string&, std::string&) { return false; };
    display.Key(VK_DOWN).Key(VK_END).Type(L"x").Key(VK_F1);
    EXPECT_EQ(Run(dlg), IDOK) << c.legend;
    EXPECT_EQ(dlg.m_strHostPortStored, L"caster.corvo.example:2101") << c.legend;
    EXPECT_EQ(dlg.m_strUserPassword, L"u0x:p0") << c.legend;
  }
}

TEST_F(CorvoCasterDlgTest, TheStoredCasterShowsItsOwnEntryNotOneThatBeginsWithIt) {
  Configure(std::string("CAS;10.0.0.1;2101") + kTail + "CAS;10.0.0.1;21" + kTail + "ENDSOURCETABLE\n",
            L"10.0.0.1:21");
  std::wstring shown;
  display.Do([&] { dlg.m_listCasters.GetText(dlg.m_listCasters.GetCurSel(), shown); }).Key(VK_F1);
  EXPECT_EQ(Run(dlg), IDOK);
  EXPECT_EQ(shown, L"10.0.0.1:21");
  EXPECT_EQ(dlg.m_strHostPortStored, L"10.0.0.1:21");
}

// The caster counts as changed when OK stores another caster than the one
// before the opening, however it was chosen; Cancel changes nothing.
TEST_F(CorvoCasterDlgTest, OkReportsAChangeExactlyWhenTheStoredCasterDiffers) {
  struct Case {
    const char* legend;
    std::string list;
    std::wstring before;
    std::vector<UINT> keys;
    int result;
    std::wstring stored;
    int changed;
  };
  const std::string one = std::string("CAS;192.0.2.9;2101") + kTail + "ENDSOURCETABLE\n";
  const Case cases[] = {
      {"a spinner step, then Cancel", CorvoList(), L"192.0.2.7:2102", {VK_RIGHT, VK_F2}, IDCANCEL, L"192.0.2.7:2102", 0},
      {"a spinner step, then OK", CorvoList(), L"192.0.2.7:2102", {VK_RIGHT, VK_F1}, IDOK, L"caster-one.example:2103",
       1},
      {"OK on the configured caster", CorvoList(), L"192.0.2.7:2102", {VK_F1}, IDOK, L"192.0.2.7:2102", 0},
      {"first run: OK on the preselected only caster", one, L"", {VK_F1}, IDOK, L"192.0.2.9:2101", 1},
      {"first run: Cancel on the preselected caster", one, L"", {VK_F2}, IDCANCEL, L"", 0},
  };
  for (const Case& c : cases) {
    Configure(c.list, c.before);
    dlg.m_lookup = [](const std::string&, std::string&) { return false; };
    for (UINT key : c.keys) display.Key(key);
    EXPECT_EQ(Run(dlg), c.result) << c.legend;
    EXPECT_EQ(dlg.m_strHostPortStored, c.stored) << c.legend;
    EXPECT_EQ(dlg.m_bCasterChanged, c.changed) << c.legend;
  }
}

TEST_F(CorvoCasterDlgTest, WhiteFieldsOnTheRedPageAndTheBackKeyInTheFields) {
  Configure(CorvoList(), L"192.0.2.7:2102");
  dlg.m_lookup = [](const std::string&, std::string&) { return false; };
  struct Expected {
    int id;
    COLORREF brush;
  };
  const Expected expected[] = {{IDC_CASTER_LIST, RGB(255, 255, 255)}, {IDC_CORVO_PASSWORD, RGB(255, 255, 255)},
                               {IDC_TIME_LABEL, RGB(242, 28, 10)},     {IDC_RECONNECTION_GROUP, RGB(242, 28, 10)},
                               {IDC_CASTER_SPIN, RGB(242, 28, 10)},    {IDD_BROADCASTER_CORVO, RGB(242, 28, 10)}};
  std::vector<COLORREF> brushes;
  std::wstring user;
  display.Do([&] {
    for (const Expected& e : expected) {
      CDC dc;
      CWnd* wnd = e.id == static_cast<int>(IDD_BROADCASTER_CORVO) ? static_cast<CWnd*>(&dlg) : dlg.GetDlgItem(e.id);
      HBRUSH brush = wnd != nullptr ? dlg.OnCtlColor(&dc, wnd, 0) : nullptr;
      brushes.push_back(brush != nullptr && brush->Color() ? *brush->Color() : 0);
    }
  });
  display.Key(VK_DOWN).Key(VK_HOME).Key(VK_ESCAPE).Key(VK_END).Key(VK_ESCAPE);
  display.Do([&] { user = dlg.GetDlgItemText(IDC_CORVO_USER); });
  display.Key(VK_F2);
  EXPECT_EQ(Run(dlg), IDCANCEL);
  for (size_t i = 0; i < brushes.size(); ++i) EXPECT_EQ(brushes[i], expected[i].brush) << "control " << expected[i].id;
  EXPECT_EQ(user, L"u");
}

}  // namespace
