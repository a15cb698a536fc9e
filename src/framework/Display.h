#pragma once
// How a dialog is shown and how input reaches it. The event loop owns the
// policy (which dialog is on top, when to repaint); a display only turns a
// painted canvas into something visible and its input into InputEvents.
//
// Threading: every call comes from the user-interface thread.
#include <string>
#include <vector>

#include "framework/Canvas.h"
#include "framework/Types.h"

struct InputEvent {
  enum class Kind {
    Key,     // a key-down: `key` holds the virtual key code, `shift` the modifier
    Char,    // a printable character typed: `ch`
    Click,   // a mouse click at cell (x, y) of the last painted canvas
    Resize,  // the screen size changed: repaint
    Exit,    // the user or the system asks the program to end (signals)
  };
  Kind kind = Kind::Key;
  UINT key = 0;
  wchar_t ch = 0;
  bool shift = false;
  int x = 0, y = 0;
};

struct ScreenInfo {
  std::wstring title;
  std::wstring leftSoftKey;
  std::wstring rightSoftKey;
  std::wstring statusLine;  // the dialog's status control's text, if it has one
};

class Display {
 public:
  virtual ~Display() = default;
  // A descriptor that becomes readable when input is waiting, or -1.
  virtual int InputFd() const = 0;
  // Reads whatever input is waiting (never blocks).
  virtual void ReadInput(std::vector<InputEvent>& events) = 0;
  // The size of canvas the display wants for a dialog of the given size.
  virtual void CanvasSize(int& width, int& height) const = 0;
  // Shows a painted dialog.
  virtual void Show(const Canvas& canvas, const ScreenInfo& info) = 0;
  // Milliseconds after which the loop should wake even without input
  // (the test display's scripted waits); -1 for never.
  virtual int WakeAfterMilliseconds() const { return -1; }
  virtual void Beep() {}
  // False for displays without a person in front of them (services): a
  // message box is then reported through Message and answered at once.
  virtual bool Interactive() const { return true; }
  // False for a display that shows only the screen's texts (ScreenInfo):
  // the loop then skips painting the canvas.
  virtual bool NeedsCanvas() const { return true; }
  virtual void Message(const std::wstring& text) { (void)text; }
  // Called once when the program ends, before anything is printed to stdout.
  virtual void Shutdown() {}
};
