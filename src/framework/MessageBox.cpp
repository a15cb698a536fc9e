#include "framework/MessageBox.h"

#include "framework/CommandBar.h"
#include "framework/Dialog.h"
#include "framework/EventLoop.h"

namespace {

// Template and soft keys of the message box live in a range of numbers the
// program does not use.
constexpr UINT kTemplateId = 0xF100;
constexpr UINT kMenuOk = 0xF101;
constexpr UINT kMenuYesNo = 0xF102;
constexpr UINT kStringOk = 0xF110;
constexpr UINT kStringYes = 0xF111;
constexpr UINT kStringNo = 0xF112;
constexpr int kTextId = 0xF120;

void RegisterResourcesOnce() {
  static const bool done = [] {
    DialogTemplate box;
    box.id = kTemplateId;
    box.title = L"Fieldcast";
    box.controls.push_back({kTextId, ControlKind::Edit, {1, 1, 39, 13}, L"", ES_MULTILINE | ES_READONLY});
    Resources::AddDialog(box);
    Resources::AddString(kStringOk, L"OK");
    Resources::AddString(kStringYes, L"Yes");
    Resources::AddString(kStringNo, L"No");
    Resources::AddMenuBar({kMenuOk, {{kStringOk, IDOK}}});
    Resources::AddMenuBar({kMenuYesNo, {{kStringYes, IDYES}, {kStringNo, IDNO}}});
    return true;
  }();
  (void)done;
}

class CMessageBoxDlg : public CDialog {
 public:
  CMessageBoxDlg(std::wstring text, UINT type) : CDialog(kTemplateId), m_text(std::move(text)), m_type(type) {}

  bool OnInitDialog() override {
    SetDlgItemText(kTextId, m_text);
    if (m_bar.Create(this)) (void)m_bar.InsertMenuBar((m_type & MB_YESNO) ? kMenuYesNo : kMenuOk);
    return true;
  }
  void OnOK() override { EndDialog(IDOK); }
  void OnCancel() override { EndDialog((m_type & MB_YESNO) ? IDNO : IDOK); }
  const MessageMap& GetMessageMap() const override {
    static const MessageMap map = {
        ::OnCommand(IDYES, &CMessageBoxDlg::OnYes),
        ::OnCommand(IDNO, &CMessageBoxDlg::OnNo),
    };
    return map;
  }

 private:
  void OnYes() { EndDialog(IDYES); }
  void OnNo() { EndDialog(IDNO); }

  std::wstring m_text;
  UINT m_type;
  CCommandBar m_bar;
};

}  // namespace

int AfxMessageBox(const std::wstring& text, UINT type) {
  Display* display = EventLoop::Instance().GetDisplay();
  const int fallback = (type & MB_YESNO) ? IDYES : IDOK;
  if (display == nullptr || !display->Interactive()) {
    if (display != nullptr) display->Message(text);
    return fallback;
  }
  RegisterResourcesOnce();
  CMessageBoxDlg box(text, type);
  display->Beep();
  return box.DoModal();
}
