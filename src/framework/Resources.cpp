#include "framework/Resources.h"

#include <mutex>

namespace {

struct Table {
  std::mutex mutex;
  std::map<UINT, DialogTemplate> dialogs;
  std::map<UINT, MenuBarTemplate> menuBars;
  std::map<UINT, std::wstring> strings;
};

Table& TheTable() {
  static Table table;
  return table;
}

}  // namespace

void Resources::AddDialog(DialogTemplate dialog) {
  std::lock_guard lock(TheTable().mutex);
  const UINT id = dialog.id;
  TheTable().dialogs[id] = std::move(dialog);
}

void Resources::AddMenuBar(MenuBarTemplate menuBar) {
  std::lock_guard lock(TheTable().mutex);
  const UINT id = menuBar.id;
  TheTable().menuBars[id] = std::move(menuBar);
}

void Resources::AddString(UINT id, std::wstring text) {
  std::lock_guard lock(TheTable().mutex);
  TheTable().strings[id] = std::move(text);
}

// Templates are added once at start-up and never removed, so the pointers
// stay valid.
const DialogTemplate* Resources::FindDialog(UINT id) {
  std::lock_guard lock(TheTable().mutex);
  const auto it = TheTable().dialogs.find(id);
  return it == TheTable().dialogs.end() ? nullptr : &it->second;
}

const MenuBarTemplate* Resources::FindMenuBar(UINT id) {
  std::lock_guard lock(TheTable().mutex);
  const auto it = TheTable().menuBars.find(id);
  return it == TheTable().menuBars.end() ? nullptr : &it->second;
}

std::wstring Resources::LoadString(UINT id) {
  std::lock_guard lock(TheTable().mutex);
  const auto it = TheTable().strings.find(id);
  return it == TheTable().strings.end() ? std::wstring() : it->second;
}
