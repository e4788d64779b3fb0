// The checks a results button runs before the results window opens: a
// complete scale, enough marks, an origin, the default-name question and a
// calculation without error. Each refusal is explained in a message box.
#pragma once

#include <functional>

#include "common/UnitTypes.h"

namespace mlb {

class TData;

struct TResultsCheck {
  bool changeDefaultNames = false;  // "CheckBox38ChangeDefaultObjectsName_Checked"
  bool* askObjectNames = nullptr;   // the window's memory of the names question
  // Draws picture `n` of the button pictures into the composed icon of the
  // next box (6 single scale, 7 horizontal, 8 vertical, 9 origin, 10 marks,
  // 11 overlay, 12 names).
  std::function<void(int)> drawIcon;
  std::function<void()> openNames;  // the point names dialog
  std::function<bool()> prepare;    // brings the calculation up to date; false on error
};

// True when the results may be shown.
bool CheckResultsReady(TData& data, TModeVideo mode, const TResultsCheck& check);

}  // namespace mlb
