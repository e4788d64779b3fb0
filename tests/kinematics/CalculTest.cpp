#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "common/UnitMessageBox.h"
#include "kinematics/UnitResultats.h"
#include "measurement/UnitData.h"
#include "tests/support/FakeView.h"
#include "tests/support/Measure.h"

namespace mlb {
namespace {

using test::FakeView;
constexpr double kPi = std::numbers::pi;

// A 640 x 480 video, 0.5 m over 200 pixels, origin at (320, 240).
class Calcul : public ::testing::Test {
 protected:
  Calcul() : data(&view), res(data) { test::ScaleAndOrigin(view, data, res, 0.1); }
  // Places mark k at the normalized position on a frame (k in frame order).
  void Mark(int frame, double x, double y, int k = 0) {
    view.current = frame;
    data.SetCurrentMarkOrderNumber(k);
    data.PlaceMark(view.NormalizedToScreen({x, y}));
  }
  double V(int code, int j, int n = 0, int variant = avAxes) {
    return res.ValueAt(variant, n, code, j);
  }
  FakeView view{200, 640, 480};
  TRecordingMessageBox box;
  TMessageBoxGuard guard{&box};
  TData data;
  TResCalc res;
};

TEST_F(Calcul, PositionsInMetresThroughScaleAndAxes) {
  Mark(0, 0.6, 0.4);  // 0.1 right of and 0.1 above the origin
  Mark(1, 0.5, 0.5);
  Mark(2, 0.4, 0.6);
  ASSERT_TRUE(res.NeedsBuild());
  ASSERT_EQ(res.BuildPositions(), 0);
  EXPECT_FALSE(res.NeedsBuild());
  EXPECT_NEAR(V(grX, 0), 0.16, 1e-12);
  EXPECT_NEAR(V(grY, 0), 0.12, 1e-12);
  EXPECT_NEAR(V(grTemps, 2), 0.2, 1e-12);
  // Inverting x negates X on the axes only; inverting again restores it.
  data.SetDirectX(false);
  EXPECT_TRUE(res.NeedsBuild());
  res.BuildPositions();
  EXPECT_NEAR(V(grX, 0), -0.16, 1e-12);
  EXPECT_NEAR(V(grX, 0, 0, avImage), 0.16, 1e-12);
  data.SetDirectX(true);
  // Axis angle pi/2: a mark straight above the origin lies on +x.
  data.SetAxisAngle(kPi / 2);
  Mark(3, 0.5, 0.3);
  res.BuildPositions();
  EXPECT_NEAR(V(grX, 3), 0.24, 1e-12);
  EXPECT_NEAR(V(grY, 3), 0.0, 1e-12);
}

TEST_F(Calcul, VelocityAndAccelerationOfAThrow) {
  // x = 0.5 t, y = t - t^2 (metres) at 10 frames/s: whole pixels at 0.0025 m/px.
  for (int f = 0; f < 12; ++f) {
    const double xPx = 20.0 * f, yPx = 40.0 * f - 4.0 * f * f;
    Mark(f, (320 + xPx) / 640, (240 - yPx) / 480);
  }
  ASSERT_EQ(res.BuildPositions(), 0);
  ASSERT_TRUE(res.Compute(rcCurrent, 0));
  for (int j = 0; j < 12; ++j) {
    EXPECT_NEAR(V(grVx, j), 0.5, 1e-9) << j;
    EXPECT_NEAR(V(grVy, j), 1 - 2 * j * 0.1, 1e-9) << j;
    EXPECT_NEAR(V(grAx, j), 0.0, 1e-9) << j;
    EXPECT_NEAR(V(grAy, j), -2.0, 1e-9) << j;
    EXPECT_NEAR(V(grA, j), 2.0, 1e-9) << j;
  }
  ASSERT_TRUE(res.Compute(rcCurrent, smoothSpeed | smoothAcceleration));
  for (int j = 0; j < 12; ++j) EXPECT_NEAR(V(grAy, j), -2.0, 1e-6) << j;
  EXPECT_NEAR(res.MaxValue(avAxes, 0, grX), 0.55, 1e-12);
  EXPECT_NEAR(res.MaxValue(avAxes, 0, grY), 0.25, 1e-12);
  EXPECT_NEAR(res.MinValue(avAxes, 0, grTemps), 0.0, 1e-12);
  TIntegerDynArray labels;
  TPointDDynArray pts;
  res.CurrentCalcul().QuantitySeries(avAxes, 0, grY, grX, labels, pts);  // trajectory y(x)
  ASSERT_EQ(pts.size(), 12u);
  EXPECT_EQ(labels.front(), 1);
  EXPECT_NEAR(pts[10].x, 0.5, 1e-12);
  EXPECT_NEAR(pts[10].y, 0.0, 1e-12);
  res.SetStartByZero(true);
  res.CurrentCalcul().QuantitySeries(avAxes, 0, grVx, grTemps, labels, pts);
  EXPECT_EQ(labels.front(), 0);
}

TEST_F(Calcul, MissingMarksAreSkippedInDerivativesAndZeroInTables) {
  data.SetMarksNumberPerFrame(2);
  for (int f = 0; f < 6; ++f) {
    Mark(f * 2, 0.5 + 0.01 * f, 0.5, 0);   // point 0 moves 6.4 px per 2 frames
    if (f != 2) Mark(f * 2, 0.3, 0.3, 1);  // point 1 is missing on frame 4
  }
  ASSERT_EQ(res.BuildPositions(), 0);
  ASSERT_TRUE(res.Compute(rcCurrent, 0));
  EXPECT_EQ(res.SampleCount(), 6);
  EXPECT_EQ(res.FrameOf(1, 2), -1);
  EXPECT_EQ(res.FramesOf(0), (TIntegerDynArray{0, 2, 4, 6, 8, 10}));
  EXPECT_EQ(V(grX, 2, 1), 0.0);
  EXPECT_EQ(V(grVx, 2, 1), 0.0);
  // Velocities span the real frame gaps (clicks are rounded to whole pixels).
  for (int j = 0; j < 6; ++j) EXPECT_NEAR(V(grVx, j, 0), 0.016 / 0.2, 0.0025 / 0.2);
  for (int j : {0, 1, 3, 4, 5}) EXPECT_NEAR(V(grV, j, 1), 0.0, 1e-9);
  TIntegerDynArray labels;
  TPointDDynArray pts;
  res.CurrentCalcul().RelativeTrajectory(0, 1, labels, pts);
  EXPECT_EQ(labels, (TIntegerDynArray{1, 2, 4, 5, 6}));
  res.CurrentCalcul().RelativeTrajectory(1, 1, labels, pts);
  ASSERT_EQ(pts.size(), 1u);
  EXPECT_EQ(pts[0], (TPointD{0, 0}));
}

TEST_F(Calcul, AngleStaysContinuousAroundTheOrigin) {
  // A mark circling the origin counter-clockwise, 1.5 turns.
  for (int f = 0; f < 37; ++f) {
    const double a = f * 3 * kPi / 36;
    Mark(f, 0.5 + 0.2 * std::cos(a) * 480 / 640, 0.5 - 0.2 * std::sin(a));
  }
  ASSERT_EQ(res.BuildPositions(), 0);
  ASSERT_TRUE(res.Compute(rcCurrent, smoothSpeed));
  for (int j = 1; j < 37; ++j) {
    EXPECT_GT(V(grTheta, j), V(grTheta, j - 1)) << j;
    EXPECT_GT(V(grOmega, j), 0.0) << j;
    EXPECT_NEAR(V(grR, j), 0.2 * 480 * 0.0025, 0.005) << j;
  }
  EXPECT_NEAR(V(grTheta, 36), 3 * kPi, 0.02);
}

TEST_F(Calcul, FailuresAndEmptyCases) {
  Mark(0, 0.5, 0.4);
  Mark(1, 0.5, 0.3);
  ASSERT_EQ(res.BuildPositions(), 0);
  EXPECT_FALSE(res.Compute(rcCurrent, 0));  // two samples: the derivative needs three
  EXPECT_EQ(res.CurrentCalcul().ComputeVelocity(0, 0), 2);
  Mark(2, 0.5, 0.2);
  res.BuildPositions();
  EXPECT_TRUE(res.Compute(rcCurrent, 0));
  // Extremes of a point that never appears.
  EXPECT_EQ(res.MaxValue(avAxes, 5, grX), -1e100);
  EXPECT_EQ(res.MinValue(avAxes, 5, grX), 1e100);
  EXPECT_EQ(res.MaxValue(avAxes, 0, 9), -1e100);
  EXPECT_EQ(V(grX, 99), 0.0);
  EXPECT_EQ(res.TimeAt(-1), 0.0);
  // No scale: status 4 and nothing derived from stale series.
  data.Echelle().SetLength(skSingle, 0);
  EXPECT_EQ(res.BuildPositions(), 4);
  EXPECT_TRUE(res.NeedsBuild());
  EXPECT_FALSE(res.Compute(rcCurrent, 0));
  // No video: status 5.
  view.opened = false;
  EXPECT_EQ(res.BuildPositions(), 5);
}

TEST_F(Calcul, NoMarksPerFrameBuildsButCannotDerive) {
  data.SetMarksNumberPerFrame(0);
  EXPECT_EQ(res.BuildPositions(), 0);
  EXPECT_EQ(res.SampleCount(), 0);
  EXPECT_EQ(res.CurrentCalcul().ComputeDerived(0), 3);
  EXPECT_EQ(res.MaxValueAll(avAxes, grX), -1e100);
}

TEST_F(Calcul, TransparentFrameUsesItsOwnStoreWithoutAngle) {
  Mark(0, 0.6, 0.4);
  data.SetAxisAngle(0.3);
  view.mode = mvTransparent;
  data.SetTool(otTsp);
  TTransparent& t = data.Transparent();
  for (int f = 0; f < 4; ++f) {
    view.current = f;
    t.LeftPress(view.NormalizedToScreen(t.CurrentOrigin()));
    t.Move(view.NormalizedToScreen({0.5, 0.5}));
    t.Release();
    t.LeftPress(view.NormalizedToScreen({0.5 + 0.05 * f, 0.5}));
  }
  ASSERT_EQ(res.BuildPositions(rcBoth), 0);
  EXPECT_EQ(res.SampleCount(), 4);  // the transparent calculator is current
  EXPECT_NEAR(V(grX, 3), 0.15 * 640 * 0.0025, 1e-9);
  EXPECT_NEAR(V(grY, 3), 0.0, 1e-9);
  data.SetDirectX(false);
  res.BuildPositions();
  EXPECT_NEAR(V(grX, 3), -0.15 * 640 * 0.0025, 1e-9);
  EXPECT_NEAR(V(grX, 3, 0, avImage), 0.15 * 640 * 0.0025, 1e-9);
  EXPECT_EQ(res.Fixed().SampleCount(), 1);
}

}  // namespace
}  // namespace mlb
