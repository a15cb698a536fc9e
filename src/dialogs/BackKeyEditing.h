#pragma once
// The handheld's Back key in a text field removes the character before the
// caret (the caster dialogs do this themselves, since the platform would
// close the dialog instead). With a selected range nothing goes; at the very
// start of the field nothing goes either.
#include <string>

#include "framework/Types.h"

class CEdit;
class CWnd;

// Whether the message is the Back key as dialogs receive it (a hot key).
bool IsBackKeyMessage(const MSG& msg);

// Answers the text after the removal and puts the caret one to the left
// (never before the start).
std::wstring RemoveBeforeCaret(const std::wstring& text, int selStart, int selEnd, int& caret);

// Text fields: the removal on the field's text.
void BackKeyOnText(CEdit& edit);
// Number fields: the removal on the field's decimal text, which is then read
// again as a number (its leading digits; nothing gives 0) and shown as such.
enum class NumberKind { Signed, Unsigned };
void BackKeyOnNumber(CEdit& edit, NumberKind kind);

// The four fields both caster dialogs share. Answers whether `focus` was one
// of them (and the Back key has acted on it).
struct CasterFields {
  CEdit& user;
  CEdit& password;
  CEdit& attempts;
  CEdit& time;
};
bool BackKeyInCasterFields(CWnd* focus, const CasterFields& fields);
