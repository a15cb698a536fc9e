#pragma once
// The two worker threads of a streaming run. Each does nothing but handle
// posted thread messages, one step at a time; a step does its work on the
// main window's shared members and posts the next step.
//
// The main window sets m_pDlg and m_hWndMain while the thread is still
// suspended, so every step sees them.
#include "framework/WinThread.h"

class CFieldcastDlg;

class CStreamWorker : public CWinThread {
 public:
  void SetDialog(CFieldcastDlg* dialog) { m_pDlg = dialog; }
  void SetMainWindow(HWND window) { m_hWndMain = window; }

 protected:
  CFieldcastDlg* m_pDlg = nullptr;
  HWND m_hWndMain = 0;
};

// The reception thread: connect, request and reply, GGA upload.
class InThread : public CStreamWorker {
 public:
  InThread();
  ~InThread() override { Quit(); }
};

// The output thread: open the port, receive stream blocks, write them.
class OutThread : public CStreamWorker {
 public:
  OutThread();
  ~OutThread() override { Quit(); }
};
