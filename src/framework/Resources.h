#pragma once
// The program's resources: dialog templates, soft-key menu bars and the
// string table. The program registers them at start-up (src/res); the
// framework looks them up by number.
#include <map>
#include <string>
#include <vector>

#include "framework/Types.h"

enum class ControlKind { Static, PushButton, RadioButton, GroupBox, Edit, ListBox, UpDown, ComboBox, Progress };

// Control styles (the subset the program uses).
constexpr unsigned SS_LEFT = 0x0000;
constexpr unsigned SS_CENTER = 0x0001;
constexpr unsigned SS_RIGHT = 0x0002;
constexpr unsigned ES_MULTILINE = 0x0004;
constexpr unsigned ES_PASSWORD = 0x0020;
constexpr unsigned ES_READONLY = 0x0800;
constexpr unsigned ES_NUMBER = 0x2000;
constexpr unsigned LBS_SORT = 0x0002;
constexpr unsigned CBS_SORT = 0x0100;
constexpr unsigned UDS_HORZ = 0x0040;
constexpr unsigned UDS_ARROWKEYS = 0x0020;
constexpr unsigned UDS_EXPANDABLE = 0x0200;
constexpr unsigned WS_GROUP = 0x00020000;
constexpr unsigned WS_DISABLED = 0x08000000;
constexpr unsigned WS_VSCROLL = 0x00200000;

struct ControlTemplate {
  int id;
  ControlKind kind;
  CRect rect;  // in cells, relative to the dialog's body
  std::wstring text;
  unsigned style = 0;
};

struct DialogTemplate {
  UINT id = 0;
  std::wstring title;
  std::vector<ControlTemplate> controls;
};

struct SoftKey {
  UINT stringId;  // the label, from the string table
  int command;    // sent as WM_COMMAND to the dialog
};

struct MenuBarTemplate {
  UINT id = 0;
  std::vector<SoftKey> keys;  // left, then right
};

class Resources {
 public:
  static void AddDialog(DialogTemplate dialog);
  static void AddMenuBar(MenuBarTemplate menuBar);
  static void AddString(UINT id, std::wstring text);
  static const DialogTemplate* FindDialog(UINT id);
  static const MenuBarTemplate* FindMenuBar(UINT id);
  // Empty when the string is not in the table.
  static std::wstring LoadString(UINT id);
};
