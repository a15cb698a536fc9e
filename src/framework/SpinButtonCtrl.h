#pragma once
#include "framework/Wnd.h"

// An up-down control. With a list box as its buddy it is the list's spinner:
// its position is the list's selection. Before every step it asks its
// dialog with UDN_DELTAPOS, whose handler may change the step or cancel it;
// a step that moved the selection is reported as the list's LBN_SELCHANGE.
//
// Right proposes a step of -1 and Left +1, as on the handheld, whose
// up-down counts down towards its "up" end.
class CSpinButtonCtrl : public CWnd {
 public:
  CWnd* SetBuddy(CWnd* buddy);
  CWnd* GetBuddy() const { return m_pBuddy; }
  void SetRange(int lower, int upper);
  void GetRange(int& lower, int& upper) const;
  int GetPos() const;
  int SetPos(int pos);  // answers the previous position
  // Left or Right on the spinner or its buddy; true when the key was used.
  bool StepFromKey(UINT key);
  UINT ColorKind() const override { return CTLCOLOR_STATIC; }

 protected:
  void OnCreated() override;

 private:
  int m_nPos = 0;
  int m_nLower = 0;
  int m_nUpper = 100;
  CWnd* m_pBuddy = nullptr;
};
