// The source-table download against casters that are strangers: one that
// trickles, floods or falls silent, one that sends a broken or poisoned
// table; and against a shared directory: a planted link, and a place where
// the table cannot be stored. Whatever happens, the window keeps answering
// and the old table, file and lists stay unless a good table replaces them.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <stop_token>
#include <thread>
#include <utility>

#include "app/StreamingFixture.h"
#include "support/ScriptedCaster.h"

using testing_support::ScriptedCaster;

namespace {

constexpr char kHeader[] = "SOURCETABLE 200 OK\r\nContent-Type: text/plain\r\n\r\n";
constexpr char kOldTable[] =
    "NET;OLDNET;Op;B;N;a;b;c;none\r\n"
    "STR;OLD;old;RTCM 3.0;x;2;GPS;OLDNET;DEU;1;2;0;0;g;none;N;N;1;m\r\nENDSOURCETABLE\r\n";
const std::vector<std::wstring> kOldStreams = {L"Update source table", L"old/RTK/GPS/OLDNET"};

std::string Stream(const std::string& mountPoint, const std::string& network) {
  return "STR;" + mountPoint + ";Town;RTCM 3.0;1004;2;GPS;" + network + ";DEU;50;8;0;0;gen;none;N;N;9600;x\r\n";
}

// Sends the header and `body`, then closes.
ScriptedCaster::Script Serve(std::string body) {
  return [body](ScriptedCaster::Client& client) { (void)client.Send(kHeader + body); };
}

std::vector<std::wstring> Entries(const CListBox& list) {
  std::vector<std::wstring> entries(static_cast<size_t>(list.GetCount()));
  for (int i = 0; i < list.GetCount(); ++i) list.GetText(i, entries[static_cast<size_t>(i)]);
  return entries;
}

}  // namespace

class HostileCasterDownloadTest : public StreamingTest {
 protected:
  struct Outcome {
    std::wstring status;
    std::wstring network;
    std::vector<std::wstring> streams;
    std::wstring mountPoint;
  };

  // One source-table update from the network list's `network`, with
  // `during` scripted while the download runs; answers what the window
  // showed once the run had ended.
  Outcome Update(ScriptedCaster& caster, const std::function<void(CFieldcastDlg&)>& during = {},
                 const std::wstring& network = L"All") {
    Configure(caster.port(), "", /*output=*/1);
    dir.Write("sourcetable.dat", kOldTable);
    CFieldcastDlg dlg;
    Outcome outcome;
    display.Do([&] {
      dlg.FillNetworkList(network);
      dlg.FillStreamList(network, kUpdateSourceTable);
      dlg.NotifyCommand(IDC_START, 0);
    });
    if (during) during(dlg);
    display.WaitUntil([&] { return dlg.m_bRunning == 0; }, std::chrono::seconds(90))
        .Do([&] {
          outcome.status = Status(dlg);
          outcome.network = ListText(dlg.m_listNetworks);
          outcome.streams = Entries(dlg.m_listStreams);
          outcome.mountPoint = dlg.m_strMountPoint.Get();
        })
        .Key(VK_F1);
    dlg.DoModal();
    return outcome;
  }
  // Temporary files left beside the table.
  int Leftovers() const {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      count += entry.path().filename().string().rfind("sourcetable.dat.", 0) == 0;
    return count;
  }
};

// However slowly or endlessly a caster sends, Stop and Exit answer during
// the download, and sizes and silences end it by themselves.
TEST_F(HostileCasterDownloadTest, ACasterThatNeverFinishesCannotHoldTheWindow) {
  struct Case {
    const char* legend;
    ScriptedCaster::Script script;  // sets `done` when it sent all it meant to
    UINT key;                       // pressed once the download runs (0: none)
    std::wstring status;
    bool clockRuns = false;  // the program's clock moves on until the run ends
  };
  std::atomic<bool> done{false};
  std::atomic<int> sent{0};
  auto trickle = [&](ScriptedCaster::Client& client) {
    if (!client.Send(std::string(kHeader) + Stream("T0", "NET"))) return;
    for (int line = 1; line <= 40; ++line, ++sent)
      if (!client.Pause(std::chrono::milliseconds(1500)) || !client.Send(Stream("T" + std::to_string(line), "NET"))) return;
    done = true;
  };
  auto flood = [&](ScriptedCaster::Client& client) {
    std::string block;
    while (block.size() < 64 * 1024) block += Stream("FLOOD", "NET");
    if (!client.Send(kHeader)) return;
    for (size_t total = 0; total < 64u * 1024 * 1024; total += block.size(), ++sent)
      if (!client.Send(block)) return;
    done = true;
  };
  auto silence = [&](ScriptedCaster::Client& client) {
    if (!client.Send(std::string(kHeader) + Stream("S0", "NET")) || !client.Pause(std::chrono::seconds(60))) return;
    done = true;
  };
  const Case cases[] = {
      {"a trickle stopped with Stop", trickle, VK_RETURN, L"Adjust Settings or press START"},
      {"a trickle stopped with Exit", trickle, VK_F1, L"Adjust Settings or press START"},
      {"a flood beyond 16 MB", flood, 0, L"ERROR: source table over 16 MB"},
      {"20 seconds of silence", silence, 0, L"ERROR: source table not updated", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    done = false;
    sent = 0;
    ScriptedCaster caster(c.script);
    const Outcome outcome = Update(caster, [&](CFieldcastDlg& dlg) {
      if (c.key != 0) display.WaitUntil([&] { return sent >= 2; }).Key(c.key);
      if (c.clockRuns) display.WaitUntil(ClockRunningUntil([&] { return dlg.m_bRunning == 0; }));
    });
    EXPECT_FALSE(done) << "the caster had its way before the window answered";
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.streams, kOldStreams);
    EXPECT_EQ(dir.Read("sourcetable.dat"), kOldTable);
    EXPECT_EQ(Leftovers(), 0);
  }
}

// Anybody who can write the directory could plant a link at the name the
// download used to write through; the program (perhaps root) must never
// write into the link's target.
TEST_F(HostileCasterDownloadTest, APlantedLinkIsNeverWrittenThrough) {
  dir.Write("victim", "precious\n");
  ASSERT_EQ(symlink(dir.File("victim").c_str(), dir.File("sourcetable.dat.download").c_str()), 0);
  const std::string table = Stream("NEW", "NET") + "ENDSOURCETABLE\r\n";
  ScriptedCaster caster(Serve(table));
  EXPECT_EQ(Update(caster).status, L"Updated source table.");
  EXPECT_EQ(dir.Read("victim"), "precious\n");
  EXPECT_EQ(dir.Read("sourcetable.dat"), "Content-Type: text/plain\r\n\r\n" + table);
  struct stat info {};
  ASSERT_EQ(lstat(dir.File("sourcetable.dat").c_str(), &info), 0);
  EXPECT_TRUE(S_ISREG(info.st_mode));
}

// A record whose ";" is missing runs across line ends (the parser's rule),
// so a mount point can hold line breaks. It must reach neither the request
// nor GNSS.ini.
TEST_F(HostileCasterDownloadTest, AMountPointWithLineBreaksCannotBeStartedOrSaved) {
  ScriptedCaster caster(Serve("STR;EVIL\r\nColour=Corvo\r\n;Town;RTCM 3.0;1004;2;GPS;NET;DEU;50;8;0;0;gen;none;N;N;9600;x\r\n"
                              "ENDSOURCETABLE\r\n"));
  Configure(caster.port(), "", /*output=*/1);
  CFieldcastDlg dlg;
  display.Do([&] {
           dlg.m_listStreams.SetCurSel(0);
           dlg.NotifyCommand(IDC_START, 0);
         })
      .WaitUntil([&] { return dlg.m_bRunning == 0; })
      .Do([&] {
        ASSERT_EQ(dlg.m_strMountPoint.Get(), L"EVIL\r\nColour=Corvo\r\n");
        dlg.NotifyCommand(IDC_START, 0);
      })
      .Do([&] {
        EXPECT_EQ(dlg.m_bRunning, 0);
        EXPECT_EQ(Status(dlg), L"ERROR: Mount point holds a control character.");
      })
      .Key(VK_F1);
  dlg.DoModal();
  EXPECT_EQ(caster.Requests().size(), 1u);  // the download's only
  const std::string ini = dir.Read("GNSS.ini");
  EXPECT_EQ(std::count(ini.begin(), ini.end(), '\n'), 18) << ini;
  EXPECT_NE(ini.find("\nMount Point=\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("\nColour=\n"), std::string::npos) << ini;
}

// A complete reply that does not read as a table must not replace the one
// the user has, nor report success.
TEST_F(HostileCasterDownloadTest, ACompleteButUnreadableTableKeepsTheOldOne) {
  for (const std::string& body : {std::string("STR;broken\r\nENDSOURCETABLE\r\n"),
                                  "STR;" + std::string(10 * 1024, 'x') + "\r\nENDSOURCETABLE\r\n"}) {
    SCOPED_TRACE(body.substr(0, 20));
    ScriptedCaster caster(Serve(body));
    const Outcome outcome = Update(caster);
    EXPECT_EQ(outcome.status, L"ERROR: Corrupt or no source table.");
    EXPECT_EQ(outcome.streams, kOldStreams);
    EXPECT_EQ(outcome.mountPoint, L"");
    EXPECT_EQ(dir.Read("sourcetable.dat"), kOldTable);
    EXPECT_EQ(Leftovers(), 0);
  }
}

// Root may write anywhere, so the place is blocked in ways that stop root
// too: something other than a file where the table must go (never the
// program's to replace), and a file-size limit.
TEST_F(HostileCasterDownloadTest, ATableThatCannotBeStoredIsSaidSoAndTheOldOneStays) {
  const std::string table = Stream("NEW", "NET") + "ENDSOURCETABLE\r\n";
  const std::string place = dir.File("sourcetable.dat");
  const std::pair<const char*, std::function<bool()>> plants[] = {
      {"a directory", [&] { return std::filesystem::create_directories(place + "/in-the-way"); }},
      {"a FIFO", [&] { return mkfifo(place.c_str(), 0600) == 0; }},
      {"a link to a device", [&] { return symlink("/dev/urandom", place.c_str()) == 0; }},
  };
  for (const auto& [legend, plant] : plants) {
    SCOPED_TRACE(legend);
    ScriptedCaster caster(Serve(table));
    Configure(caster.port(), "", /*output=*/1);
    std::filesystem::remove_all(place);
    ASSERT_TRUE(plant());
    struct stat before {};
    ASSERT_EQ(lstat(place.c_str(), &before), 0);
    CFieldcastDlg dlg;
    display.Do([&] { dlg.NotifyCommand(IDC_START, 0); })
        .WaitUntil([&] { return dlg.m_bRunning == 0; })
        .Do([&] { EXPECT_EQ(Status(dlg), L"ERROR: source table could not be stored"); })
        .Key(VK_F1);
    dlg.DoModal();
    struct stat after {};
    ASSERT_EQ(lstat(place.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(Leftovers(), 0);
    std::filesystem::remove_all(place);
  }
  {
    SCOPED_TRACE("no room to write");
    ScriptedCaster caster(Serve(table));
    Configure(caster.port(), "", /*output=*/1);
    dir.Write("sourcetable.dat", kOldTable);
    // A write beyond the limit fails (EFBIG) instead of raising SIGXFSZ.
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(sigaction(SIGXFSZ, &ignore, &previous), 0);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limit = saved;
    limit.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    CFieldcastDlg dlg;
    std::vector<std::wstring> before;
    display
        .Do([&] {
          before = Entries(dlg.m_listStreams);
          dlg.m_listStreams.SetCurSel(0);
          dlg.NotifyCommand(IDC_START, 0);
        })
        .WaitUntil([&] { return dlg.m_bRunning == 0; })
        .Do([&] {
          setrlimit(RLIMIT_FSIZE, &saved);  // Exit writes GNSS.ini
          EXPECT_EQ(Status(dlg), L"ERROR: source table could not be stored");
          EXPECT_EQ(Entries(dlg.m_listStreams), before);
        })
        .Key(VK_F1);
    dlg.DoModal();
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &previous, nullptr);
    EXPECT_EQ(dir.Read("sourcetable.dat"), kOldTable);
    EXPECT_EQ(Leftovers(), 0);
  }
}

// The network shown before the download is gone from the new table: the
// lists show "All" with the new streams, as at start-up.
TEST_F(HostileCasterDownloadTest, ANetworkThatVanishedLeavesTheListsOnAll) {
  ScriptedCaster caster(Serve("NET;NEWNET;Op;B;N;a;b;c;none\r\n" + Stream("NEW1", "NEWNET") + Stream("NEW2", "NEWNET") +
                              "ENDSOURCETABLE\r\n"));
  const Outcome outcome = Update(caster, {}, L"OLDNET");
  EXPECT_EQ(outcome.status, L"Updated source table.");
  EXPECT_EQ(outcome.network, L"All");
  EXPECT_EQ(outcome.streams.size(), 3u);
  EXPECT_EQ(outcome.mountPoint, L"NEW1");
}

// Anybody who can write the directory could put something other than a
// table where it lies: a FIFO (held open by a writer that never writes, the
// read would wait for good), a device that never ends, a file far larger
// than any table. None of them is read, and none holds the start.
TEST_F(MainWindowTest, OnlyARegularFileOfATablesSizeIsReadAsTheTable) {
  const std::string place = dir.File("sourcetable.dat");
  int writer = -1;
  const std::pair<const char*, std::function<bool()>> plants[] = {
      {"a FIFO", [&] { return mkfifo(place.c_str(), 0600) == 0; }},
      {"a FIFO with a silent writer",
       [&] { return mkfifo(place.c_str(), 0600) == 0 && (writer = open(place.c_str(), O_RDWR | O_NONBLOCK)) >= 0; }},
      {"a file larger than any table",
       [&] {
         dir.Write("sourcetable.dat", "");
         return truncate(place.c_str(), kMaxSourceTableBytes + 1) == 0;
       }},
      {"a link to /dev/urandom", [&] { return symlink("/dev/urandom", place.c_str()) == 0; }},
  };
  for (const auto& [legend, plant] : plants) {
    SCOPED_TRACE(legend);
    std::filesystem::remove(place);
    ASSERT_TRUE(plant());
    // Should the read wait after all, the writer goes after a generous
    // deadline, so the test fails instead of hanging.
    std::atomic<bool> released = false;
    std::jthread deadline([&](std::stop_token stop) {
      std::mutex mutex;
      std::condition_variable_any wake;
      std::unique_lock lock(mutex);
      if (!wake.wait_for(lock, stop, std::chrono::seconds(60), [] { return false; }) && !stop.stop_requested() && writer >= 0) {
        released = true;
        close(std::exchange(writer, -1));
      }
    });
    CFieldcastDlg dlg;
    display.Key(VK_F1);
    dlg.DoModal();
    deadline.request_stop();
    deadline.join();
    EXPECT_FALSE(released) << "the start waited on the table";
    EXPECT_EQ(display.Info().statusLine, L"ERROR: Corrupt or no source table.");
    if (writer >= 0) close(std::exchange(writer, -1));
  }
}
