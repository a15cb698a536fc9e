#pragma once
// CDialog: a dialog built from a template in the resources, run modally by a
// nested turn of the event loop (DoModal) until EndDialog.
//
// Lifetime: dialog objects are long-lived and may run many times; their
// controls exist only while the dialog runs. Member control objects named
// with DDX_Control in DoDataExchange become the dialog's controls for each
// run; the others are created by the dialog itself.
//
// Keys: every key-down and the Back key (as WM_HOTKEY) pass through
// PreTranslateMessage first; what it does not consume goes to the focused
// control, then to the dialog's own keys (Tab, Up/Down focus moves, the two
// soft keys).
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/Display.h"
#include "framework/MessageMap.h"
#include "framework/Resources.h"
#include "framework/Wnd.h"

class CCommandBar;
class CDataExchange;

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  ~CDialog() override;

  // Runs the dialog; answers the value given to EndDialog, or -1 when the
  // template does not exist.
  virtual int DoModal();
  void EndDialog(int result);
  bool IsEnding() const { return m_bEnding; }
  bool IsRunning() const { return m_bRunningModal; }
  UINT TemplateId() const { return m_nTemplateId; }

  bool UpdateData(bool saveAndValidate = true);

  CWnd* GetDlgItem(int id) const;
  // The controls of the current run, in template order.
  const std::vector<CWnd*>& Controls() const { return m_controls; }
  // Checks `checkId` and unchecks the other radio buttons first..last.
  void CheckRadioButton(int firstId, int lastId, int checkId);
  CWnd* GetFocus() const { return m_pFocus; }
  CWnd* SetFocusTo(CWnd* control);  // answers the control that had it
  void GotoDlgCtrl(CWnd* control) { SetFocusTo(control); }
  void NextDlgCtrl();
  void PrevDlgCtrl();
  void SetDlgItemText(int id, const std::wstring& text);
  std::wstring GetDlgItemText(int id) const;

  void SetTimer(UINT id, unsigned milliseconds);
  void KillTimer(UINT id);
  // Delivers a message now, on the calling (user-interface) thread.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return WindowProc(message, wParam, lParam); }

  void SetCommandBar(CCommandBar* bar) { m_pCommandBar = bar; }
  CCommandBar* GetCommandBar() const { return m_pCommandBar; }

  // --- overridables --------------------------------------------------------
  virtual bool OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* pDX) { (void)pDX; }
  // True when the message has been dealt with and must go no further.
  virtual bool PreTranslateMessage(MSG* pMsg) { (void)pMsg; return false; }
  virtual HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    (void)pDC; (void)pWnd; (void)nCtlColor;
    return nullptr;
  }
  virtual const MessageMap& GetMessageMap() const;
  // The control whose text is the dialog's status line (headless display).
  virtual int StatusControlId() const { return 0; }

  // --- for the framework ---------------------------------------------------
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // A control reports an event (WM_COMMAND with its id and code).
  void NotifyCommand(int id, UINT code);
  // A control sends WM_NOTIFY; answers the handler's result.
  LRESULT NotifyParent(NMHDR* header);
  void HandleInput(const InputEvent& event);
  void PaintScreen(Canvas& canvas, ScreenInfo& info);
  // The screen's texts alone (title, soft keys, status line).
  void FillScreenInfo(ScreenInfo& info) const;
  void BindControl(int id, CWnd* control) { m_bound[id] = control; }
  // The origin of the dialog's body on the canvas (below the title row).
  static constexpr int kBodyTop = 1;

 protected:
  virtual void OnCommandUnhandled(int id, UINT code);

 private:
  bool CreateControls();
  void DestroyControls();
  void HandleKey(UINT key, bool shift);
  void HandleBack();
  void HandleClick(int x, int y);
  void PressSoftKey(size_t index);
  std::vector<CWnd*> FocusOrder() const;
  void PaintControl(Canvas& canvas, CWnd& control);
  const MessageEntry* Find(MessageEntry::Kind kind, UINT message, int id) const;

  UINT m_nTemplateId;
  CWnd* m_pParentWnd;
  std::vector<std::unique_ptr<CWnd>> m_owned;
  std::vector<CWnd*> m_controls;  // template order
  std::map<int, CWnd*> m_bound;
  CWnd* m_pFocus = nullptr;
  CCommandBar* m_pCommandBar = nullptr;
  bool m_bEnding = false;
  bool m_bRunningModal = false;
  int m_nResult = 0;
};
