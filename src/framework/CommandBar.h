#pragma once
// CCommandBar: the soft-key bar at the bottom of the screen, built from a
// menu-bar resource. F1 presses the left soft key, F2 the right one; each
// sends its command to the dialog as WM_COMMAND.
#include <string>
#include <vector>

#include "framework/Canvas.h"
#include "framework/Resources.h"

class CDialog;
class CWnd;

class CCommandBar {
 public:
  // Attaches the bar to a running dialog; false when there is none.
  [[nodiscard]] bool Create(CWnd* parent);
  // Loads the soft keys; false when the menu bar or a label is missing.
  [[nodiscard]] bool InsertMenuBar(UINT menuBarId);

  std::wstring SoftKeyText(size_t index) const;
  int SoftKeyCommand(size_t index) const;
  // Index of the soft key under a canvas cell, or -1.
  int SoftKeyAt(int x, int y) const;
  void Paint(Canvas& canvas, CellColor fg, CellColor bg);

 private:
  struct Key {
    std::wstring text;
    int command;
  };
  CDialog* m_pDialog = nullptr;
  std::vector<Key> m_keys;
  int m_nRow = -1;
  int m_nWidth = 0;
};
