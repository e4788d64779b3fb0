// A view for tests: the static view plus counters of what the measurement
// data asked of it.
#pragma once

#include <vector>

#include <QString>

#include "measurement/UnitStaticView.h"

namespace mlb::test {

class FakeView : public TStaticView {
 public:
  FakeView(int frames = 100, int w = 640, int h = 480) : TStaticView(frames, w, h) {}

  int invalidateBoth = 0;
  int invalidateCurrent = 0;
  int repaints = 0;
  QString cursor;
  TPoint pointer;
  bool viewTool = false;

  TPoint PointerPosition() const override { return pointer; }
  bool ViewToolActive() const override { return viewTool; }

  void InvalidateResults(TRefChoice which) override {
    (which == rcBoth ? invalidateBoth : invalidateCurrent)++;
    TStaticView::InvalidateResults(which);
  }
  void Repaint() override { ++repaints; }
  void SetCursorName(const QString& name) override { cursor = name; }
};

// Screen point of a normalized position on the fake view.
inline TPoint Px(const FakeView& v, double x, double y) {
  return v.NormalizedToScreen({x, y});
}

}  // namespace mlb::test
