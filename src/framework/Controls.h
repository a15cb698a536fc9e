#pragma once
// Every control kind a template can name, and the factory that makes them.
#include <memory>

#include "framework/Button.h"
#include "framework/ComboBox.h"
#include "framework/Edit.h"
#include "framework/ListBox.h"
#include "framework/ProgressCtrl.h"
#include "framework/Resources.h"
#include "framework/SpinButtonCtrl.h"
#include "framework/Static.h"

std::unique_ptr<CWnd> CreateControlOfKind(ControlKind kind);
// Whether a member object named by DDX_Control can serve as this kind.
bool ControlMatchesKind(CWnd& control, ControlKind kind);
