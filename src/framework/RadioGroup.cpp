#include "framework/RadioGroup.h"

#include "framework/Button.h"
#include "framework/Dialog.h"
#include "framework/Resources.h"

std::vector<CButton*> RadioGroupOf(const CDialog& dialog, int firstId) {
  std::vector<CButton*> group;
  bool inGroup = false;
  for (CWnd* control : dialog.Controls()) {
    auto* button = dynamic_cast<CButton*>(control);
    const bool radio = button != nullptr && button->IsRadio();
    if (!inGroup) {
      if (control->GetDlgCtrlID() == firstId && radio) {
        inGroup = true;
        group.push_back(button);
      }
      continue;
    }
    if (!radio || (control->Style() & WS_GROUP) != 0) break;
    group.push_back(button);
  }
  return group;
}

void CheckRadioInGroup(CDialog& dialog, CButton& button) {
  // Find the group's first button: where the run of radio buttons holding
  // this one starts, at a WS_GROUP one or after a control of another kind.
  int first = button.GetDlgCtrlID();
  bool previousWasRadio = false;
  for (CWnd* control : dialog.Controls()) {
    auto* radio = dynamic_cast<CButton*>(control);
    const bool isRadio = radio != nullptr && radio->IsRadio();
    if (isRadio && (!previousWasRadio || (control->Style() & WS_GROUP) != 0)) first = control->GetDlgCtrlID();
    previousWasRadio = isRadio;
    if (control == &button) break;
  }
  for (CButton* member : RadioGroupOf(dialog, first)) member->SetCheck(member == &button ? 1 : 0);
}
