#pragma once
// One descriptor that becomes readable when the terminal has input or its
// size changed. ncurses notes SIGWINCH in a flag and reports KEY_RESIZE only
// at the next read; a loop asleep in poll() would not wake for it, and with
// worker threads the signal may not even interrupt the loop's thread. A
// self-pipe written by the signal handler, watched together with the input
// through epoll, wakes the loop wherever the signal lands.
class InputWake {
 public:
  InputWake() = default;
  ~InputWake() { Stop(); }
  InputWake(const InputWake&) = delete;
  InputWake& operator=(const InputWake&) = delete;

  // Watches `inputFd` and SIGWINCH. Call after ncurses started: the handler
  // installed here passes the signal on to the one ncurses installed.
  [[nodiscard]] bool Start(int inputFd);
  // Restores the previous handler and closes the descriptor (idempotent).
  void Stop();
  // Stops watching the input (after a hang-up it would stay readable for ever).
  void ForgetInput();
  // The descriptor to wait on, or -1 when not started.
  int Fd() const { return m_epollFd; }
  // Empties the self-pipe; call before reading the terminal's input.
  void Drain();
  // Whether SIGHUP, SIGTERM or SIGINT came since the last call (watched
  // while started): each asks the program to end as Exit does.
  bool TakeExitSignal();

 private:
  int m_epollFd = -1;
  int m_inputFd = -1;
  bool m_handlerInstalled = false;
  bool m_exitHandlersInstalled = false;
};
