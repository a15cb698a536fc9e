#pragma once
// Brushes and the drawing context a dialog's OnCtlColor answers with: the
// returned brush fills the control, the context's text and background
// colours and background mode colour its text.
#include <optional>

#include "framework/Types.h"

class CBrush {
 public:
  CBrush() = default;  // no colour: the display's defaults apply
  explicit CBrush(COLORREF color) : m_color(color) {}
  void CreateSolidBrush(COLORREF color) { m_color = color; }
  std::optional<COLORREF> Color() const { return m_color; }

 private:
  std::optional<COLORREF> m_color;
};

// The answer of OnCtlColor: a brush, or none (the null handle).
using HBRUSH = const CBrush*;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Kinds of colour request, as the control's class asks.
constexpr UINT CTLCOLOR_MSGBOX = 0;
constexpr UINT CTLCOLOR_EDIT = 1;
constexpr UINT CTLCOLOR_LISTBOX = 2;
constexpr UINT CTLCOLOR_BTN = 3;
constexpr UINT CTLCOLOR_DLG = 4;
constexpr UINT CTLCOLOR_SCROLLBAR = 5;
constexpr UINT CTLCOLOR_STATIC = 6;

class CDC {
 public:
  COLORREF SetTextColor(COLORREF color) {
    const COLORREF old = m_text.value_or(0);
    m_text = color;
    return old;
  }
  COLORREF SetBkColor(COLORREF color) {
    const COLORREF old = m_background.value_or(0);
    m_background = color;
    return old;
  }
  int SetBkMode(int mode) {
    const int old = m_mode;
    m_mode = mode;
    return old;
  }
  std::optional<COLORREF> TextColor() const { return m_text; }
  std::optional<COLORREF> BkColor() const { return m_background; }
  int BkMode() const { return m_mode; }

 private:
  std::optional<COLORREF> m_text;
  std::optional<COLORREF> m_background;
  int m_mode = OPAQUE;
};
