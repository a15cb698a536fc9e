#pragma once
// Radio buttons belong to a group: the run of radio buttons in template
// order that starts at one with WS_GROUP and ends before the next such one
// or the first control that is not a radio button.
#include <vector>

class CButton;
class CDialog;

std::vector<CButton*> RadioGroupOf(const CDialog& dialog, int firstId);
void CheckRadioInGroup(CDialog& dialog, CButton& button);
