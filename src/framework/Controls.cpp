#include "framework/Controls.h"

std::unique_ptr<CWnd> CreateControlOfKind(ControlKind kind) {
  switch (kind) {
    case ControlKind::Static:
      return std::make_unique<CStatic>();
    case ControlKind::GroupBox:
      return std::make_unique<CGroupBox>();
    case ControlKind::PushButton:
      return std::make_unique<CButton>();
    case ControlKind::RadioButton: {
      auto button = std::make_unique<CButton>();
      button->SetRadio(true);
      return button;
    }
    case ControlKind::Edit:
      return std::make_unique<CEdit>();
    case ControlKind::ListBox:
      return std::make_unique<CListBox>();
    case ControlKind::UpDown:
      return std::make_unique<CSpinButtonCtrl>();
    case ControlKind::ComboBox:
      return std::make_unique<CComboBox>();
    case ControlKind::Progress:
      return std::make_unique<CProgressCtrl>();
  }
  return std::make_unique<CStatic>();
}

bool ControlMatchesKind(CWnd& control, ControlKind kind) {
  switch (kind) {
    case ControlKind::Static:
      return dynamic_cast<CStatic*>(&control) != nullptr;
    case ControlKind::GroupBox:
      return dynamic_cast<CGroupBox*>(&control) != nullptr;
    case ControlKind::PushButton:
      return dynamic_cast<CButton*>(&control) != nullptr;
    case ControlKind::RadioButton:
      if (auto* button = dynamic_cast<CButton*>(&control)) {
        button->SetRadio(true);
        return true;
      }
      return false;
    case ControlKind::Edit:
      return dynamic_cast<CEdit*>(&control) != nullptr;
    case ControlKind::ListBox:
      return dynamic_cast<CListBox*>(&control) != nullptr;
    case ControlKind::UpDown:
      return dynamic_cast<CSpinButtonCtrl*>(&control) != nullptr;
    case ControlKind::ComboBox:
      return dynamic_cast<CComboBox*>(&control) != nullptr;
    case ControlKind::Progress:
      return dynamic_cast<CProgressCtrl*>(&control) != nullptr;
  }
  return false;
}
