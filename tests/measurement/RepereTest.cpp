#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "common/UnitMessageBox.h"
#include "measurement/UnitData.h"
#include "tests/support/FakeView.h"

namespace mlb {
namespace {

using test::FakeView;
using test::Px;
constexpr double kPi = std::numbers::pi;

class Repere : public ::testing::Test {
 protected:
  Repere() : data(&view) { data.Reset(); }
  FakeView view{100, 640, 480};
  TRecordingMessageBox box;
  TMessageBoxGuard guard{&box};
  TData data;
};

TEST_F(Repere, SingleScaleFactors) {
  int defined = 0;
  data.OnScaleDefine = [&](TData&) { ++defined; };
  data.SetTool(otEchelle);
  TEchelle& e = data.Echelle();
  e.LeftPress({100, 100});
  e.LeftPress({100, 100});  // on point 1: refused
  EXPECT_EQ(e.PointsNumber[skSingle], 1);
  e.LeftPress({300, 100});  // 200 pixels
  EXPECT_EQ(defined, 2);
  EXPECT_FALSE(data.ScaleComplete());
  e.SetLength(skSingle, 0.5);
  EXPECT_TRUE(data.ScaleComplete());
  const TPointD s = data.GetScaleFactors();
  EXPECT_NEAR(s.x * 0.1, 0.16, 1e-12);  // 0.1 of 640 px at 0.0025 m/px
  EXPECT_NEAR(s.y * 0.1, 0.12, 1e-12);
  // Right presses remove the points again; the second one is recorded.
  e.RightPress();
  e.RightPress();
  EXPECT_EQ(e.PointsNumber[skSingle], 0);
  EXPECT_FALSE(data.ScaleComplete());
}

TEST_F(Repere, SeparateScalesNeedDistinctCoordinates) {
  data.ApplySettings({.separateScales = true});
  EXPECT_EQ(data.Echelle().ActiveKind, skVert);
  TEchelle& e = data.Echelle();
  e.Length = {0, 1.0, 2.0};
  e.Points[skHoriz] = {TPointD{0.2, 0.5}, TPointD{0.2, 0.5}};
  e.Points[skVert] = {TPointD{0.5, 0.1}, TPointD{0.5, 0.6}};
  EXPECT_EQ(data.GetScaleFactors(), (TPointD{-1, -1}));  // equal x: both undefined
  e.Points[skHoriz][1].x = 0.7;
  e.Points[skVert][1].y = 0.1;
  EXPECT_NEAR(data.GetScaleFactors().x, 2.0, 1e-12);  // equal y: only sy undefined
  EXPECT_EQ(data.GetScaleFactors().y, -1);
  e.Points[skVert][1].y = 0.5;
  EXPECT_NEAR(data.GetScaleFactors().x, 2.0, 1e-12);
  EXPECT_NEAR(data.GetScaleFactors().y, 5.0, 1e-12);
  // A horizontal second point keeps point 1's height.
  data.SetScaleKind(skHoriz);
  e.PointsNumber[skHoriz] = 0;
  e.LeftPress({64, 48});
  e.LeftPress({64, 400});  // same x: refused
  EXPECT_EQ(e.PointsNumber[skHoriz], 1);
  e.LeftPress({320, 400});
  EXPECT_DOUBLE_EQ(e.Points[skHoriz][1].y, e.Points[skHoriz][0].y);
  data.ApplySettings({.separateScales = false});
  EXPECT_EQ(e.ActiveKind, skSingle);
}

TEST_F(Repere, ScaleSegmentDragAndUndo) {
  data.SetTool(otEchelle);
  TEchelle& e = data.Echelle();
  e.LeftPress({100, 100});
  e.LeftPress({300, 200});
  e.Move({200, 150});
  EXPECT_EQ(view.cursor, QStringLiteral("Selection"));
  e.Move({100, 101});
  EXPECT_EQ(view.cursor, QStringLiteral("Nesw"));
  e.LeftPress({200, 150});  // grab the segment
  EXPECT_EQ(e.DragState(), -1);
  e.Move({210, 160});
  e.Release();
  EXPECT_EQ(e.ScreenPoint(skSingle, 0), (TPoint{110, 110}));
  EXPECT_EQ(e.ScreenPoint(skSingle, 1), (TPoint{310, 210}));
  EXPECT_EQ(data.UndoCaption(), QStringLiteral("Zrušit Přesunout Měřítko"));
  data.Undo();
  EXPECT_EQ(e.ScreenPoint(skSingle, 0), (TPoint{100, 100}));
}

TEST_F(Repere, AnglesNormalizeAndKeepAxesPerpendicular) {
  TRepereFixe& r = data.RepereFixe();
  r.SetYAngle(0);
  EXPECT_NEAR(r.XAxisAngle, -kPi / 2, 1e-12);
  r.SetXAngle(3 * kPi / 2);
  EXPECT_NEAR(r.XAxisAngle, -kPi / 2, 1e-12);
  EXPECT_NEAR(r.YAxisAngle, 0.0, 1e-12);
  r.SetXAngle(kPi * 0.9);
  EXPECT_NEAR(r.YAxisAngle, -kPi * 0.6, 1e-12);
}

TEST_F(Repere, OriginPlacementDragsAndRemoval) {
  int changes = 0;
  data.OnRepereChange = [&](TData&) { ++changes; };
  data.SetTool(otOrigine);
  TRepereFixe& r = data.RepereFixe();
  r.LeftPress({320, 240});
  EXPECT_EQ(r.OriginePointsNumber, 1);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(r.XAxisEnds()[1], (TPoint{640, 240}));  // clipped to the view
  EXPECT_EQ(r.YAxisEnds()[1], (TPoint{320, 0}));
  // Turn the x axis by dragging its arrow half straight up.
  r.LeftPress({500, 241});
  ASSERT_EQ(r.DragState(), 2);
  r.Move({320, 100});
  r.Release();
  EXPECT_NEAR(r.XAxisAngle, kPi / 2, 1e-12);
  EXPECT_NEAR(data.GetAxisAngle(), kPi / 2, 1e-12);
  // With the x direction inverted the arrow is at the other end.
  r.SetXAngle(0);
  data.SetDirectX(false);
  r.LeftPress({100, 240});
  ASSERT_EQ(r.DragState(), 2);
  r.Move({320, 100});
  r.Release();
  EXPECT_NEAR(r.XAxisAngle, -kPi / 2, 1e-12);
  // Move the origin itself.
  r.LeftPress({321, 241});
  ASSERT_EQ(r.DragState(), 1);
  r.Move({341, 251});
  r.Release();
  EXPECT_NEAR(r.CurrentOrigin().x, 340.0 / 640, 1e-12);
  EXPECT_NEAR(r.CurrentOrigin().y, 250.0 / 480, 1e-12);
  // Removing the origin resets the angles but not the position.
  data.EraseOrigin();
  EXPECT_EQ(r.OriginePointsNumber, 0);
  EXPECT_DOUBLE_EQ(r.XAxisAngle, 0.0);
  EXPECT_NEAR(r.YAxisAngle, kPi / 2, 1e-12);
  EXPECT_NEAR(r.CurrentOrigin().x, 340.0 / 640, 1e-12);
  // Each step is undone in turn.
  data.Undo();
  EXPECT_EQ(r.OriginePointsNumber, 1);
  EXPECT_NEAR(r.XAxisAngle, -kPi / 2, 1e-12);
}

TEST_F(Repere, OverlayDefaultsResizeAndDropOnKnownFrame) {
  view.mode = mvTransparent;
  data.SetTool(otTsp);
  TTransparent& t = data.Transparent();
  EXPECT_NEAR(t.DefaultOrigin().x, 0.45, 1e-12);
  EXPECT_NEAR(t.DefaultOrigin().y, 0.55, 1e-12);
  EXPECT_EQ(t.CurrentOrigin(), t.DefaultOrigin());
  int shrinks = 0;
  while (t.LayerWidth > 0.1 && shrinks < 100) t.Shrink(), ++shrinks;
  t.Shrink();  // no further
  EXPECT_LE(t.LayerWidth, 0.1);
  EXPECT_GT(t.LayerWidth, 0.09);
  while (t.LayerWidth < 1) t.Grow();
  const double w = t.LayerWidth;
  t.Grow();
  EXPECT_DOUBLE_EQ(t.LayerWidth, w);
  EXPECT_EQ(data.UndoCaption(), QStringLiteral("Zrušit Deformovat Průsvitka"));

  view.current = 4;
  t.LeftPress(Px(view, 0.45, 0.55));
  t.Move(Px(view, 0.5, 0.5));
  t.Release();
  ASSERT_EQ(t.LayerStage(), 2);
  const std::size_t recorded = data.ActiveHistory().Count();
  // Back to stage 0 without marking, then drop again on the same frame.
  t.RightPress();  // removes the last origin, stage 0
  EXPECT_TRUE(t.Origins().empty());
  data.Undo();  // the origin comes back and the stage returns to 2
  ASSERT_EQ(t.Origins().size(), 1u);
  EXPECT_EQ(t.LayerStage(), 2);
  EXPECT_EQ(view.current, 4);
  t.LeftPress(Px(view, 0.6, 0.6));  // the mark
  view.current = 4;
  t.LeftPress(Px(view, 0.5, 0.5));  // grab again on frame 4
  t.Move(Px(view, 0.3, 0.3));
  t.Release();  // frame 4 already has an origin: moved, nothing recorded, stage 0
  EXPECT_EQ(t.LayerStage(), 0);
  ASSERT_EQ(t.Origins().size(), 1u);
  EXPECT_NEAR(t.Origins()[0]->Position.x, 0.3 - (0.5 - 0.5), 0.01);
  EXPECT_EQ(data.ActiveHistory().Count(), recorded + 1);  // only the mark was added
}

TEST_F(Repere, TransparentMarksFollowTheOverlay) {
  view.mode = mvTransparent;
  data.SetTool(otTsp);
  TTransparent& t = data.Transparent();
  view.current = 2;
  t.LeftPress(Px(view, 0.45, 0.55));
  t.Release();  // dropped where it was
  t.LeftPress(Px(view, 0.55, 0.55));
  TMarque* m = data.TransparentStore().AllMarks().at(0);
  const TPointD rel = m->GetRelativePosition();
  EXPECT_NEAR(rel.x, 0.1, 1e-9);
  m->SetImagePosition({0.65, 0.55});
  m->RefreshScreenPoint();
  EXPECT_NEAR(m->GetRelativePosition().x, 0.2, 1e-9);
  const TPoint before = m->ScreenPoint();
  t.LeftPress(Px(view, 0.45, 0.55));  // grab and move the overlay by 0.1
  t.Move(Px(view, 0.55, 0.55));
  EXPECT_NEAR(m->GetRelativePosition().x, 0.2, 1e-9);
  EXPECT_EQ(m->ScreenPoint().x, before.x + 64);
  // The transparent frame has no axis angle and always counts as placed.
  EXPECT_EQ(data.GetAxisAngle(), 0.0);
  EXPECT_EQ(data.OriginPlaced(), 1);
}

TEST_F(Repere, MarkOnOverlayWithoutOriginsIsSafe) {
  view.mode = mvTransparent;
  data.SetTool(otTsp);
  data.Transparent().StageForward();
  data.Transparent().StageForward();  // stage 2 without any dropped origin
  view.current = 9;
  EXPECT_TRUE(data.PlaceMark(Px(view, 0.2, 0.2)));
  EXPECT_TRUE(data.Transparent().Origins().empty());
  EXPECT_EQ(view.current, 10);
}

TEST_F(Repere, EraseAllTakesScaleMarksAndOriginInOneStep) {
  data.SetTool(otEchelle);
  data.Echelle().LeftPress({10, 10});
  data.Echelle().LeftPress({110, 10});
  data.SetTool(otMarque);
  data.RepereFixe().LeftPress({320, 240});
  for (int f = 0; f < 3; ++f) {
    view.current = f;
    data.PlaceMark({100 + f, 100});
  }
  data.EraseAll();
  EXPECT_EQ(data.MarkCount(), 0);
  EXPECT_EQ(data.OriginPlaced(), 0);
  EXPECT_EQ(data.Echelle().PointsNumber[skSingle], 0);
  data.Undo();
  EXPECT_EQ(data.MarkCount(), 3);
  EXPECT_EQ(data.OriginPlaced(), 1);
  // The scale's points were recorded in the pointing history too.
  EXPECT_EQ(data.Echelle().PointsNumber[skSingle], 2);
}

}  // namespace
}  // namespace mlb
