#pragma once
// The two worker threads of a streaming run. Each does nothing but handle
// posted thread messages, one step at a time; a step does its work on the
// main window's shared members and posts the next step.
//
// The main window sets m_pDlg and m_hWndMain while the thread is still
// suspended, so every step sees them.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "app/RefreshPacer.h"
#include "app/StreamRecorder.h"
#include "framework/WinThread.h"
#include "serial/SerialPort.h"
#include "serial/GgaExtractor.h"

class CFieldcastDlg;

class CStreamWorker : public CWinThread {
 public:
  using CWinThread::CWinThread;
  // Registers a step: its handler gets the run number the message carries.
  template <class T>
  void OnStep(UINT message, void (T::*step)(unsigned)) {
    OnThreadMessage(message, [this, step](WPARAM wParam, LPARAM) {
      const auto run = static_cast<unsigned>(wParam);
      EnterStep(run);
      (static_cast<T*>(this)->*step)(run);
      LeaveStep();
    });
  }
  // Waits until this thread is in no step of a run older than `run`. The
  // two threads share the socket's buffer; a new run must not touch it while
  // a step of the stopped run (woken by the close) is still on its way out.
  void WaitUntilOutOfRunsBefore(unsigned run);
  void SetDialog(CFieldcastDlg* dialog) { m_pDlg = dialog; }
  void SetMainWindow(HWND window) { m_hWndMain = window; }

 protected:
  CFieldcastDlg* m_pDlg = nullptr;
  HWND m_hWndMain = 0;

 private:
  void EnterStep(unsigned run);
  void LeaveStep();

  std::mutex m_stepMutex;
  std::condition_variable m_stepLeft;
  bool m_bInStep = false;
  unsigned m_nStepRun = 0;
  int m_nWaiting = 0;  // threads in WaitUntilOutOfRunsBefore
};

// The reception thread: connect, request and reply, GGA upload.
class InThread : public CStreamWorker {
 public:
  InThread();
  ~InThread() override { Quit(); }

 private:
  void OnConnect(unsigned run);
  void OnSendRequest(unsigned run);
  void OnReply(unsigned run);
  void OnDownloadSourceTable(unsigned run);
  void FailedAttempt(unsigned run, std::wstring_view status);
  bool StartTls(unsigned run);
  // The request for the caster's form into the socket's buffer; false with
  // the status text in m_strProblem.
  bool BuildRequest();
  void OnSendGga(unsigned run);
  void OnCaptureGga(unsigned run);
  void PostToOutput(UINT message, unsigned run);
  // Following the receiver's position while a stream runs (GgaFollow.cpp).
  void StartFollowingGga(unsigned run);
  void OnFollowGga(unsigned run, unsigned chain);

  // Keeps the last sentence found for the program's life.
  GgaExtractor m_gga;
  unsigned m_nFollowChain = 0;  // the chain of follow steps that is current
  // The accepted run whose stream nothing wanted followed (yet); 0: none.
  unsigned m_nUnfollowedRun = 0;
  std::int64_t m_nLastGgaUploadMs = 0;
  // The reply as received so far: an HTTP head may outgrow the socket's block.
  std::string m_strReply;
  std::wstring m_strProblem;
};

// The output thread: open the port, receive stream blocks, write them.
class OutThread : public CStreamWorker {
 public:
  OutThread();
  ~OutThread() override { Quit(); }

 private:
  void OnOpenPort(unsigned run);
  void OnReceive(unsigned run);
  void OnDispatch(unsigned run);
  void OnNoOutput(unsigned run);
  void OnWritePort(unsigned run);
  bool TakePendingBlock();
  void CountBlock(unsigned run, int count);
  void AfterCount(unsigned run);
  void PostRefresh(unsigned run);
  const std::wstring& WritingStatus(const SerialPort& port);
  void LostConnection(unsigned run);
  // After a block went out: the health watch and the recording get a copy.
  void AfterRelay(int count);

  RefreshPacer m_refresh;
  bool m_bCounted = false;  // a block was counted since the window last heard
  std::wstring m_strWritingPort;
  std::wstring m_strWriting;
  // The block last relayed, copied while the port was still locked.
  char m_relayed[SerialPort::kBufferSize] = {};
  StreamRecorder m_recorder;
  bool m_bRecorderReady = false;
};

// The byte counter's text: "%d" below 1000, then "%1.3fk" and "%1.3fM"
// (1000 bytes to the k, computed in single precision).
std::wstring ByteCounterText(int totalBytes);
