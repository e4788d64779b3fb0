// A view without a window: a frame counter, an image size and a pixel mapping
// with the view showing the whole frame at a given size. Headless programs use
// it to drive the measurement data; tests extend it.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>

#include "measurement/UnitMeasureView.h"

namespace mlb {

class TStaticView : public TMeasureView {
 public:
  TStaticView(int frames, int imageWidth, int imageHeight)
      : frames_(frames),
        width_(imageWidth),
        height_(imageHeight),
        viewWidth_(imageWidth),
        viewHeight_(imageHeight) {}

  TModeVideo mode = mvRepereFixe;
  bool opened = true;
  int current = 0;  // physical frame; logical numbering is the identity
  // Called with the scope of every invalidation (the owner of the results).
  std::function<void(TRefChoice)> onInvalidate;

  void SetViewSize(int w, int h) { viewWidth_ = w, viewHeight_ = h; }

  TModeVideo WorkMode() const override { return mode; }
  bool VideoOpened() const override { return opened; }
  int PhysicalFrame() const override { return current; }
  void GoToPhysicalFrame(int n) override {
    if (n >= 0 && n < frames_) current = n;
  }
  int LogicalFrame() const override { return current; }
  void GoToLogicalFrame(int n) override {
    if (n >= 0 && n < frames_ && n != current) current = n;
  }
  int FrameCount() const override { return frames_; }
  int ImageWidth() const override { return width_; }
  int ImageHeight() const override { return height_; }
  TPointD ScreenToNormalized(TPoint p) const override {
    return {std::clamp(static_cast<double>(p.x) / viewWidth_, 0.0, 1.0),
            std::clamp(static_cast<double>(p.y) / viewHeight_, 0.0, 1.0)};
  }
  TPoint NormalizedToScreen(TPointD p) const override {
    return {static_cast<int>(std::lround(p.x * viewWidth_)),
            static_cast<int>(std::lround(p.y * viewHeight_))};
  }
  int VisibleWidth() const override { return viewWidth_; }
  int VisibleHeight() const override { return viewHeight_; }
  int TimeShift(int) const override { return 0; }
  void InvalidateResults(TRefChoice which) override {
    if (onInvalidate) onInvalidate(which);
  }

 protected:
  int frames_, width_, height_, viewWidth_, viewHeight_;
};

}  // namespace mlb
