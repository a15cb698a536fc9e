// Replies as real casters send them, replayed byte for byte in chosen
// pieces: the source-table download, a refusal, a broken download, stream
// bytes in the reply's first block, and a caster that never answers.
#include "app/StreamingFixture.h"
#include "support/ScriptedCaster.h"

using testing_support::CasterScript;
using testing_support::ReadFileBytes;
using testing_support::ScriptedCaster;
using testing_support::TestDataPath;

namespace {

constexpr char kOldTable[] = "STR;OLD;old;RTCM 3.0;x;2;GPS;OLDNET;DEU;1;2;0;0;g;none;N;N;1;m\r\nENDSOURCETABLE\r\n";

// Splits the reply into the status line's block, then two pieces whose
// border falls inside the end marker.
std::vector<std::string> SplitInsideMarker(const std::string& reply) {
  const size_t marker = reply.find("ENDSOURCETABLE");
  const size_t firstLine = reply.find('\n') + 1;
  return {reply.substr(0, firstLine + 40), reply.substr(firstLine + 40, marker + 7 - firstLine - 40),
          reply.substr(marker + 7)};
}

}  // namespace

class DownloadTest : public StreamingTest {
 protected:
  // Runs one source-table update against the scripted caster; answers the
  // status it ended with.
  std::wstring Update(ScriptedCaster& caster, std::vector<std::wstring>* streams = nullptr) {
    Configure(caster.port(), "", /*output=*/1);
    dir.Write("sourcetable.dat", kOldTable);
    CFieldcastDlg dlg;
    std::wstring status;
    display.Do([&] {
             dlg.m_listStreams.SetCurSel(0);
             dlg.NotifyCommand(IDC_START, 0);
           })
        .WaitUntil([&] { return dlg.m_bRunning == 0; })
        .Do([&] {
          status = Status(dlg);
          if (streams == nullptr) return;
          dlg.FillStreamList(L"All", L"");
          for (int i = 0; i < dlg.m_listStreams.GetCount(); ++i) {
            std::wstring text;
            dlg.m_listStreams.GetText(i, text);
            streams->push_back(text);
          }
        })
        .Key(VK_F1);
    dlg.DoModal();
    return status;
  }
};

TEST_F(DownloadTest, RealTablesAreStoredByteForByteWhateverTheBlockBorders) {
  for (const char* name : {"sourcetables/sapos-ni-gnsmart-ntrip1-2026.sourcetable",
                           "sourcetables/icecors-gnsmart-ntrip1-2026.sourcetable"}) {
    SCOPED_TRACE(name);
    const std::string reply = ReadFileBytes(TestDataPath(name));
    ASSERT_EQ(reply.rfind("SOURCETABLE 200 OK", 0), 0u);
    ScriptedCaster caster({CasterScript{SplitInsideMarker(reply)}});
    std::vector<std::wstring> streams;
    EXPECT_EQ(Update(caster, &streams), L"Updated source table.");
    EXPECT_EQ(dir.Read("sourcetable.dat"), reply.substr(reply.find('\n') + 1));
    EXPECT_GT(streams.size(), 1u);
    EXPECT_EQ(caster.Requests().back().rfind("GET / HTTP/1.0\r\n", 0), 0u);
  }
}

TEST_F(DownloadTest, ACasterWithoutATableIsToldPlainly) {
  ScriptedCaster caster({CasterScript{{"SOURCETABLE 200 OK\r\n", "NO SOURCETABLE AVAILABLE"}}});
  EXPECT_EQ(Update(caster), L"NO SOURCETABLE AVAILABLE");
  EXPECT_EQ(dir.Read("sourcetable.dat"), "NO SOURCETABLE AVAILABLE;\n ENDSOURCETABLE");
}

TEST_F(DownloadTest, ABrokenDownloadKeepsThePreviousTable) {
  const std::string reply = ReadFileBytes(TestDataPath("sourcetables/sapos-ni-gnsmart-ntrip1-2026.sourcetable"));
  ScriptedCaster caster({CasterScript{{reply.substr(0, reply.find("ENDSOURCETABLE") - 10)}}});  // the caster dies mid-table
  std::vector<std::wstring> streams;
  EXPECT_EQ(Update(caster, &streams), L"ERROR: source table not updated");
  EXPECT_EQ(dir.Read("sourcetable.dat"), kOldTable);
  EXPECT_FALSE(dir.Exists("sourcetable.dat.download"));
  EXPECT_EQ(streams, (std::vector<std::wstring>{L"Update source table", L"old/RTK/GPS/OLDNET"}));
}

TEST_F(DownloadTest, StreamBytesInTheReplysFirstBlockReachTheReceiver) {
  // A zero byte inside the block, as RTCM frames carry them.
  const std::string rtcmStart("\xD3\x00\x13", 3);
  ScriptedCaster caster(
      {CasterScript{{"ICY 200 OK\r\n" + rtcmStart + "first-block-data", "second-block-data"}, /*hold=*/true}});
  Configure(caster.port(), "", /*output=*/0);
  ReceiverReader reader(pty);
  CFieldcastDlg dlg;
  const std::string expected = rtcmStart + "first-block-data" + "second-block-data";
  display.Do([&] { dlg.NotifyCommand(IDC_START, 0); })
      .WaitUntil([&] { return reader.Size() >= expected.size(); })
      .Key(VK_F1)
      .Key(VK_F1);
  dlg.DoModal();
  EXPECT_EQ(reader.Bytes(), expected);
}

TEST_F(DownloadTest, ACasterThatNeverAnswersIsReportedInWords) {
  ScriptedCaster caster({CasterScript{{}, /*hold=*/true}});
  Configure(caster.port(), "", /*output=*/1);
  CFieldcastDlg dlg;
  display.Do([&] { dlg.NotifyCommand(IDC_START, 0); })
      .WaitUntil(ClockRunningUntil([&] { return dlg.m_bRunning == 0; }))
      .Key(VK_F1);
  dlg.DoModal();
  EXPECT_EQ(display.Info().statusLine, L"ERROR: No reply from Server within 20 seconds.");
}
