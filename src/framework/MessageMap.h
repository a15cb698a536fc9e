#pragma once
// A dialog's message map: one table near the top of its source file that
// names the handler of each command, notification and private message.
//
//   const MessageMap& CMyDlg::GetMessageMap() const {
//     static const MessageMap map = {
//         OnCommand(1002, &CMyDlg::OnStart),
//         OnNotify(1006, UDN_DELTAPOS, &CMyDlg::OnDeltaposSpin),
//         OnMessage(WM_STATUS_REFRESH, &CMyDlg::OnStatusRefresh),
//     };
//     return map;
//   }
#include <functional>
#include <vector>

#include "framework/Types.h"

class CWnd;

// Notification header passed with WM_NOTIFY.
struct NMHDR {
  HWND hwndFrom = 0;
  int idFrom = 0;
  UINT code = 0;
};

struct MessageEntry {
  enum class Kind { Command, Notify, Message, Timer };
  Kind kind;
  UINT message;  // Message: the number; Command/Notify: the notification code
  int id;        // Command/Notify: the control id
  std::function<LRESULT(CWnd&, WPARAM, LPARAM)> call;
};

using MessageMap = std::vector<MessageEntry>;

// Button clicks and commands (soft keys, menu items): code BN_CLICKED (0).
template <class T>
MessageEntry OnCommand(int id, void (T::*handler)()) {
  return {MessageEntry::Kind::Command, 0, id,
          [handler](CWnd& w, WPARAM, LPARAM) -> LRESULT { (static_cast<T&>(w).*handler)(); return 0; }};
}

// A control notification sent through WM_COMMAND (LBN_SELCHANGE, EN_CHANGE, ...).
template <class T>
MessageEntry OnControl(int id, UINT code, void (T::*handler)()) {
  return {MessageEntry::Kind::Command, code, id,
          [handler](CWnd& w, WPARAM, LPARAM) -> LRESULT { (static_cast<T&>(w).*handler)(); return 0; }};
}

// A WM_NOTIFY notification; the handler gets the header and sets *result.
template <class T>
MessageEntry OnNotify(int id, UINT code, void (T::*handler)(NMHDR*, LRESULT*)) {
  return {MessageEntry::Kind::Notify, code, id, [handler](CWnd& w, WPARAM, LPARAM l) -> LRESULT {
            LRESULT result = 0;
            (static_cast<T&>(w).*handler)(reinterpret_cast<NMHDR*>(l), &result);
            return result;
          }};
}

// A private (posted) message.
template <class T>
MessageEntry OnMessage(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
  return {MessageEntry::Kind::Message, message, 0,
          [handler](CWnd& w, WPARAM wp, LPARAM lp) -> LRESULT { return (static_cast<T&>(w).*handler)(wp, lp); }};
}

template <class T>
MessageEntry OnTimer(void (T::*handler)(UINT)) {
  return {MessageEntry::Kind::Timer, WM_TIMER, 0, [handler](CWnd& w, WPARAM wp, LPARAM) -> LRESULT {
            (static_cast<T&>(w).*handler)(static_cast<UINT>(wp));
            return 0;
          }};
}
