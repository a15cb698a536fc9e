// Posted messages and timers: order per sender across threads, messages for
// windows that are gone, coalescing refreshes, worker thread life.
#include <poll.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "Harness.h"
#include "framework/WinThread.h"
#include "support/WaitFor.h"

namespace fwtest {
namespace {

constexpr int kSenders = 4;
constexpr int kPerSender = 200;
constexpr UINT WM_STEP = WM_APP + 1;

// Records (sender, sequence) pairs as they arrive; checks each sender's run.
class Arrivals {
 public:
  void Add(WPARAM sender, LPARAM sequence) {
    std::lock_guard lock(m_mutex);
    if (m_next[sender] != sequence) ++m_outOfOrder;
    m_next[sender] = sequence + 1;
    ++m_count;
  }
  int Count() const {
    std::lock_guard lock(m_mutex);
    return m_count;
  }
  int OutOfOrder() const {
    std::lock_guard lock(m_mutex);
    return m_outOfOrder;
  }

 private:
  mutable std::mutex m_mutex;
  std::map<WPARAM, LPARAM> m_next;
  int m_count = 0;
  int m_outOfOrder = 0;
};

void SendFromThreads(const std::function<void(WPARAM, LPARAM)>& post, LPARAM firstSequence) {
  std::vector<std::thread> senders;
  for (int s = 0; s < kSenders; ++s)
    senders.emplace_back([&post, s, firstSequence] {
      for (LPARAM i = 0; i < kPerSender; ++i) post(static_cast<WPARAM>(s), firstSequence + i);
    });
  for (std::thread& t : senders) t.join();
}

class StepThread : public CWinThread {
 public:
  StepThread() {
    OnThreadMessage(WM_STEP, [this](WPARAM w, LPARAM l) { arrivals.Add(w, l); });
  }
  ~StepThread() override { Quit(); }
  bool InitInstance() override { return ++inits, true; }
  int ExitInstance() override { return ++exits, 0; }
  Arrivals arrivals;
  std::atomic<int> inits{0};
  std::atomic<int> exits{0};
};

TEST(WorkerThread, HandlesNothingUntilResumedThenEachSendersMessagesInOrderAndQuitsAfterThem) {
  std::unique_ptr<StepThread> worker(AfxBeginThread<StepThread>(THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
  ASSERT_NE(worker, nullptr);
  auto post = [&](WPARAM s, LPARAM i) { EXPECT_TRUE(worker->PostThreadMessage(WM_STEP, s, i)); };
  SendFromThreads(post, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a chance to misbehave, not a timing check
  EXPECT_EQ(worker->inits.load(), 0);
  EXPECT_EQ(worker->arrivals.Count(), 0);

  worker->ResumeThread();
  SendFromThreads(post, kPerSender);  // while the worker takes messages
  worker->Quit();
  EXPECT_EQ(worker->arrivals.Count(), 2 * kSenders * kPerSender);
  EXPECT_EQ(worker->arrivals.OutOfOrder(), 0);
  EXPECT_EQ(worker->inits.load(), 1);
  EXPECT_EQ(worker->exits.load(), 1);
  EXPECT_FALSE(worker->IsRunning());
  EXPECT_FALSE(worker->PostThreadMessage(WM_STEP, 0, 0));
}

// Each WM_CHAIN step n chooses step n-1 as its next; what it is told to
// post besides goes through the queue like any other thread's message.
class ChainThread : public CWinThread {
 public:
  static constexpr UINT WM_CHAIN = WM_APP + 2;
  static constexpr UINT WM_OTHER = WM_APP + 3;
  ChainThread() {
    OnThreadMessage(WM_CHAIN, [this](WPARAM n, LPARAM) {
      Log("chain" + std::to_string(n));
      if (n == postOtherAt) PostThreadMessage(WM_OTHER);
      if (n == waitForQuitAt) {
        entered = true;
        EXPECT_TRUE(testing_support::WaitFor([&] { return !IsRunning(); }));
      }
      if (n > 0) PostNextStep(WM_CHAIN, n - 1);
    });
    OnThreadMessage(WM_OTHER, [this](WPARAM, LPARAM) { Log("other"); });
  }
  ~ChainThread() override { Quit(); }
  std::string Steps() const {
    std::lock_guard lock(m_mutex);
    return m_steps;
  }
  WPARAM postOtherAt = 99;
  WPARAM waitForQuitAt = 99;
  std::atomic<bool> entered{false};

 private:
  void Log(const std::string& step) {
    std::lock_guard lock(m_mutex);
    m_steps += (m_steps.empty() ? "" : " ") + step;
  }
  mutable std::mutex m_mutex;
  std::string m_steps;
};

// The next step runs without the queue only while nothing waits there: a
// stop or another run's step posted meanwhile goes first, a quit ends the chain.
TEST(WorkerThread, ANextStepKeepsItsPlaceBehindWhatWasPostedMeanwhile) {
  {
    ChainThread worker;
    worker.postOtherAt = 2;
    ASSERT_TRUE(worker.CreateThread(false));
    ASSERT_TRUE(worker.PostThreadMessage(ChainThread::WM_CHAIN, 3));
    EXPECT_TRUE(testing_support::WaitFor([&] { return worker.Steps().find("chain0") != std::string::npos; }));
    EXPECT_EQ(worker.Steps(), "chain3 chain2 other chain1 chain0");
  }
  ChainThread worker;
  worker.waitForQuitAt = 1;
  ASSERT_TRUE(worker.CreateThread(false));
  ASSERT_TRUE(worker.PostThreadMessage(ChainThread::WM_CHAIN, 1));
  ASSERT_TRUE(testing_support::WaitFor([&] { return worker.entered.load(); }));
  worker.Quit();
  EXPECT_EQ(worker.Steps(), "chain1");
}

TEST(MessageQueueTest, CoalescesWhilePendingButNotOnceTaken) {
  MessageQueue queue(MessageQueue::Waiting::ByPoll);
  queue.SetCoalescing(WM_APP + 7);
  const MSG refresh{1, WM_APP + 7, 1, 2};
  const MSG other{1, WM_APP + 7, 1, 3};
  const MSG step{1, WM_APP + 8, 0, 0};
  queue.Post(refresh);
  queue.Post(refresh);
  queue.Post(other);  // different parameters: its own refresh
  queue.Post(step);
  queue.Post(step);  // not coalescing
  queue.Post(refresh);
  EXPECT_EQ(queue.Size(), 4u);

  MSG taken;
  ASSERT_TRUE(queue.TryTake(taken));
  EXPECT_EQ(taken.lParam, 2);
  queue.Post(refresh);  // the first one was taken: this one is new
  EXPECT_EQ(queue.Size(), 4u);
  while (queue.TryTake(taken)) {
  }
  // The wake descriptor follows the queue: a drained queue wakes nobody.
  pollfd fd{queue.WakeFd(), POLLIN, 0};
  EXPECT_EQ(poll(&fd, 1, 0), 0);
}

class PostedMessages : public FrameworkTest {};

TEST_F(PostedMessages, ReachTheDialogInEachSendersOrder) {
  TestDlg dlg(AddTemplate({}));
  Arrivals arrivals;
  dlg.OnPosted(WM_STEP, [&](WPARAM s, LPARAM i) { arrivals.Add(s, i); });
  std::thread senders;
  dlg.onInit = [&] {
    senders = std::thread([&] { SendFromThreads([&](WPARAM s, LPARAM i) { ::PostMessage(dlg.GetSafeHwnd(), WM_STEP, s, i); }, 0); });
  };
  display.WaitUntil(Within([&] { return arrivals.Count() == kSenders * kPerSender; })).Key(VK_F2);
  EXPECT_EQ(Run(dlg), IDCANCEL);
  senders.join();
  EXPECT_EQ(arrivals.Count(), kSenders * kPerSender);
  EXPECT_EQ(arrivals.OutOfOrder(), 0);
}

// A worker may still post to a window after it closed; the message and the
// window's timers must not reach a dialog that has no controls any more.
TEST_F(PostedMessages, ForWindowsThatAreGoneAreDropped) {
  constexpr int kField = 10;
  const UINT id = AddTemplate({{kField, ControlKind::Edit, {0, 0, 10, 1}, L""}});
  TestDlg closed(id);
  int lateCalls = 0;
  auto touchField = [&] {
    if (closed.IsRunning()) return;  // a tick during its own run is fine
    ++lateCalls;
    closed.GetDlgItem(kField)->SetWindowText(L"late");
  };
  closed.OnPosted(WM_STEP, [&](WPARAM, LPARAM) { touchField(); });
  closed.onInit = [&] { closed.SetTimer(1, 1); };
  closed.OnTimerTick([&](UINT) { touchField(); });
  display.Key(VK_F2);
  EXPECT_EQ(Run(closed), IDCANCEL);

  auto deleted = std::make_unique<TestDlg>(id);
  const HWND deletedHandle = deleted->GetSafeHwnd();
  deleted.reset();

  TestDlg live(AddTemplate({}));
  bool arrived = false;
  live.OnPosted(WM_STEP, [&](WPARAM, LPARAM) { arrived = true; });
  live.onInit = [&] {
    std::thread([&] {
      EXPECT_TRUE(::PostMessage(deletedHandle, WM_STEP));
      closed.PostMessage(WM_STEP);
      live.PostMessage(WM_STEP);
    }).join();
  };
  const auto start = std::chrono::steady_clock::now();
  display.WaitUntil(Within([&] { return arrived && std::chrono::steady_clock::now() - start > std::chrono::milliseconds(50); }))
      .Key(VK_F2);
  EXPECT_EQ(Run(live), IDCANCEL);
  EXPECT_TRUE(arrived);
  EXPECT_EQ(lateCalls, 0);
}

// Timers go through the message map's OnTimer entry.
class TimerDlg : public TestDlg {
 public:
  static constexpr UINT kRepeating = 1;
  static constexpr UINT kOnce = 2;
  using TestDlg::TestDlg;
  const MessageMap& GetMessageMap() const override {
    static const MessageMap map = {OnTimer(&TimerDlg::OnTick)};
    return map;
  }
  void OnTick(UINT id) {
    ++fires[id];
    if (id == kOnce) KillTimer(kOnce);
  }
  std::map<UINT, int> fires;
};

class Timers : public FrameworkTest {};

TEST_F(Timers, FireRepeatedlyAtTheirPeriodAndNeverAfterKillTimer) {
  using Clock = std::chrono::steady_clock;
  constexpr auto kPeriod = std::chrono::milliseconds(20);
  TimerDlg dlg(AddTemplate({}));
  Clock::time_point started;
  Clock::time_point killed;
  int firesAtKill = 0;
  dlg.onInit = [&] {
    started = Clock::now();
    dlg.SetTimer(TimerDlg::kRepeating, static_cast<unsigned>(kPeriod.count()));
    dlg.SetTimer(TimerDlg::kOnce, 5);
  };
  display.WaitUntil(Within([&] { return dlg.fires[TimerDlg::kRepeating] >= 3; }))
      .Do([&] {
        dlg.KillTimer(TimerDlg::kRepeating);
        killed = Clock::now();
        firesAtKill = dlg.fires[TimerDlg::kRepeating];
      })
      .WaitUntil([&] { return Clock::now() - killed > 10 * kPeriod; })
      .Key(VK_F2);
  EXPECT_EQ(Run(dlg), IDCANCEL);
  EXPECT_GE(firesAtKill, 3);
  // A timer never fires before it is due: a lower bound only.
  EXPECT_GE(killed - started, firesAtKill * kPeriod);
  EXPECT_EQ(dlg.fires[TimerDlg::kRepeating], firesAtKill);
  EXPECT_EQ(dlg.fires[TimerDlg::kOnce], 1);
  EXPECT_FALSE(EventLoop::Instance().HasTimer(dlg.GetSafeHwnd(), TimerDlg::kOnce));
}

}  // namespace
}  // namespace fwtest
