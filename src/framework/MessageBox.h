#pragma once
// A modal message box over the current dialog. Without a person in front of
// the display (headless), the text goes to the display and the box answers
// its default button at once.
#include <string>

#include "framework/Types.h"

constexpr UINT MB_OK = 0x0;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_ICONEXCLAMATION = 0x30;

int AfxMessageBox(const std::wstring& text, UINT type = MB_OK);
