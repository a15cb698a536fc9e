#pragma once
// CWnd: the base of dialogs and controls. A window has a handle (so that
// messages posted to it from other threads are dropped once it is gone), an
// identifier, a rectangle in canvas cells, a text, and enabled/visible
// states. Everything but PostMessage runs on the user-interface thread.
#include <string>

#include "framework/Canvas.h"
#include "framework/Gdi.h"
#include "framework/Types.h"

class CDialog;

class CWnd {
 public:
  CWnd();
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND GetSafeHwnd() const { return m_hWnd; }
  static CWnd* FromHandle(HWND hwnd);

  int GetDlgCtrlID() const { return m_nID; }
  CDialog* GetParent() const { return m_pParent; }

  virtual void SetWindowText(const std::wstring& text);
  virtual std::wstring GetWindowText() const { return m_strText; }
  void GetWindowText(std::wstring& text) const { text = m_strText; }
  int GetWindowTextLength() const { return static_cast<int>(m_strText.size()); }

  bool EnableWindow(bool enable = true);  // answers whether it was disabled
  bool IsWindowEnabled() const { return m_bEnabled; }
  void ShowWindow(bool show);
  bool IsWindowVisible() const { return m_bVisible; }
  CWnd* SetFocus();
  bool HasFocus() const;

  const CRect& Rect() const { return m_rect; }
  unsigned Style() const { return m_style; }

  // Thread-safe: posts to the user-interface thread's queue.
  bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  void Invalidate() const;

  // --- for the framework -----------------------------------------------
  // Controls: whether Tab and the arrow keys can put the focus here.
  virtual bool CanTakeFocus() const { return false; }
  // A key-down while this window has the focus; true when it was used.
  virtual bool OnKeyDown(UINT key, bool shift) { (void)key; (void)shift; return false; }
  virtual bool OnChar(wchar_t ch) { (void)ch; return false; }
  // The focus has just moved here from elsewhere.
  virtual void OnFocusIn() {}
  virtual void OnClick(int x, int y) { (void)x; (void)y; }
  // The kind of colour request this window makes (CTLCOLOR_*).
  virtual UINT ColorKind() const { return CTLCOLOR_STATIC; }
  // Paints the window; colours come from the parent's OnCtlColor.
  virtual void Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const {
    (void)canvas; (void)fg; (void)bg; (void)textBg;
  }
  // Posted and sent messages reach the window here.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  // Makes the window one of a dialog's controls for one run of the dialog
  // (parent null: the run is over). Resets the control's content.
  void Create(CDialog* parent, int id, const CRect& rect, const std::wstring& text, unsigned style);
  // The row of the canvas where the window's rectangle starts.
  int CanvasTop() const;

 protected:
  // Called by Create: controls clear what they held in an earlier run.
  virtual void OnCreated() {}

  HWND m_hWnd;
  int m_nID = 0;
  CDialog* m_pParent = nullptr;
  CRect m_rect;
  unsigned m_style = 0;
  std::wstring m_strText;
  bool m_bEnabled = true;
  bool m_bVisible = true;
};
