#pragma once
#include "framework/Wnd.h"

// A progress bar showing its position within its range.
class CProgressCtrl : public CWnd {
 public:
  void SetRange(int lower, int upper);
  void GetRange(int& lower, int& upper) const;
  int SetPos(int pos);  // answers the previous position
  int GetPos() const { return m_nPos; }
  void Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const override;

 protected:
  void OnCreated() override;

 private:
  int m_nLower = 0;
  int m_nUpper = 100;
  int m_nPos = 0;
};
