// What the measurement data needs of the video view and the edit model. The
// view implements it; tests drive the measurement data with a fake.
#pragma once

#include <QString>

#include "common/UnitTypes.h"

namespace mlb {

// Mouse buttons and shift states of the pointing input.
enum TMouseButton : int { mbLeft = 0, mbRight = 1, mbMiddle = 2 };
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
using TShiftState = unsigned;

// The key codes the measurement logic understands (those of the classic
// virtual-key set); the widget layer maps its own keys to them.
enum TKeyCode : int {
  vkReturn = 13,
  vkMenu = 18,  // Alt
  vkEscape = 27,
  vkLeft = 37,
  vkUp = 38,
  vkRight = 39,
  vkDown = 40,
  vk0 = 48,
  vk6 = 54,  // carries the minus sign on some keyboards
  vk9 = 57,
  vkA = 65,
  vkNumpad0 = 96,
  vkNumpad9 = 105,
  vkAdd = 107,
  vkSubtract = 109,
  vkOemPlus = 187,  // the key with "=" and "+"
};

class TMeasureView {
 public:
  virtual ~TMeasureView() = default;

  virtual TModeVideo WorkMode() const = 0;
  virtual bool VideoOpened() const = 0;
  // 0-based frame index of the video file.
  virtual int PhysicalFrame() const = 0;
  virtual void GoToPhysicalFrame(int n) = 0;
  // Frame number among the visible (kept) frames.
  virtual int LogicalFrame() const = 0;
  // Does nothing when n < 0, when n maps to no frame or is the current frame.
  virtual void GoToLogicalFrame(int n) = 0;
  virtual int FrameCount() const = 0;
  virtual int ImageWidth() const = 0;
  virtual int ImageHeight() const = 0;
  // Screen pixel to normalized image point, clamped to 0..1 on both axes.
  virtual TPointD ScreenToNormalized(TPoint p) const = 0;
  // Normalized image point to screen pixel, rounded.
  virtual TPoint NormalizedToScreen(TPointD p) const = 0;
  // Size of the visible video area (the view less its scroll bars).
  virtual int VisibleWidth() const = 0;
  virtual int VisibleHeight() const = 0;
  // Time shift of a physical frame in frames (0 for frames the edit model does not know).
  virtual int TimeShift(int physicalFrame) const = 0;
  // Invalidates the results: rcBoth for both calculations, rcCurrent for the
  // calculation of the current mode.
  virtual void InvalidateResults(TRefChoice which) = 0;

  // The mouse pointer's position in view pixels (Enter acts as a click there).
  virtual TPoint PointerPosition() const { return {}; }
  // True while the view's own zoom or pan tool is active.
  virtual bool ViewToolActive() const { return false; }

  virtual void Repaint() {}
  virtual void RefreshCursor() {}
  // Sets the named cursor of the cursor set; the empty name is the default arrow.
  virtual void SetCursorName(const QString& /*name*/) {}
};

}  // namespace mlb
