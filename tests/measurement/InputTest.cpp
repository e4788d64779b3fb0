// Pointing input and drawing of the measurement data: mouse and keys routed
// by mode and tool, the move and erase tools, cursors, and the overlay
// painted into an image.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "common/UnitGraphUtils.h"
#include "common/UnitMessageBox.h"
#include "common/UnitPalette.h"
#include "measurement/UnitData.h"
#include "tests/support/FakeView.h"

namespace mlb {
namespace {

using test::FakeView;

class Input : public ::testing::Test {
 protected:
  Input() : data(&view) {
    data.Reset();
    data.SetRequiredDuration(0.04);
  }
  void Click(int x, int y, int button = mbLeft) {
    data.MouseDown(button, 0, x, y);
    data.MouseUp(button, 0, x, y);
  }
  void Drag(TPoint from, TPoint to, TShiftState shift = 0) {
    data.MouseDown(mbLeft, shift, from.x, from.y);
    data.MouseMove(shift, to.x, to.y);
    data.MouseUp(mbLeft, shift, to.x, to.y);
  }
  TPoint Screen(int i) const { return data.ActiveStore().AllMarks()[i]->ScreenPoint(); }

  FakeView view;
  TRecordingMessageBox box;
  TMessageBoxGuard guard{&box};
  TData data;
};

TEST_F(Input, ClickAndEnterPlaceMarksWhereThePointerIs) {
  data.SetTool(otMarque);
  Click(100, 50);
  ASSERT_EQ(data.MarkCount(), 1);
  EXPECT_EQ(Screen(0), (TPoint{100, 50}));
  EXPECT_EQ(view.PhysicalFrame(), 1);  // automatic advance
  view.pointer = {200, 120};
  data.KeyDown(vkReturn, 0);
  ASSERT_EQ(data.MarkCount(), 2);
  EXPECT_EQ(Screen(1), (TPoint{200, 120}));
  // The right button takes the last mark back.
  Click(0, 0, mbRight);
  EXPECT_EQ(data.MarkCount(), 1);
  // Enter does nothing while the view's own zoom or pan tool is active.
  view.viewTool = true;
  data.KeyDown(vkReturn, 0);
  EXPECT_EQ(data.MarkCount(), 1);
}

TEST_F(Input, ToolsThatDoNotBelongToTheModeDoNothing) {
  view.mode = mvTransparent;
  data.SetTool(otMarque);
  Click(100, 50);
  EXPECT_EQ(data.MarkCount(), 0);
  view.mode = mvRepereFixe;
  data.SetTool(otTsp);
  Click(100, 50);
  EXPECT_EQ(data.Transparent().LayerStage(), 0);
  EXPECT_EQ(data.FixedStore().MarkCount(), 0);
  view.mode = mvMontage;
  data.SetTool(otMarque);
  Click(100, 50);
  EXPECT_EQ(data.MarkCount(), 0);
}

TEST_F(Input, MoveToolDragsTheFirstHitMarkAndEnterDropsIt) {
  data.SetTool(otMarque);
  Click(100, 100);
  view.GoToPhysicalFrame(0);
  data.SetMarksNumberPerFrame(2);
  data.SetCurrentMarkOrderNumber(1);
  Click(101, 101);  // overlaps the first mark
  data.SetTool(otDeplacer);
  // Hovering shows what a press would do.
  data.MouseMove(0, 300, 300);
  EXPECT_EQ(view.cursor, QStringLiteral("Deplacer"));
  data.MouseMove(0, 102, 99);
  EXPECT_EQ(view.cursor, QStringLiteral("Selection"));
  const int before = view.invalidateCurrent;
  Drag({100, 100}, {250, 200});
  EXPECT_EQ(Screen(0), (TPoint{250, 200}));  // the one placed first
  EXPECT_EQ(Screen(1), (TPoint{101, 101}));
  EXPECT_GT(view.invalidateCurrent, before);
  EXPECT_EQ(view.cursor, QStringLiteral("Deplacer"));
  // A press is refused while a mark is moving; Enter ends the drag.
  view.pointer = {101, 101};
  data.KeyDown(vkReturn, 0);  // starts moving mark 1
  data.MouseMove(0, 50, 60);
  data.MouseDown(mbLeft, 0, 250, 200);  // refused: still moving mark 1
  data.KeyDown(vkReturn, 0);            // drops it
  EXPECT_FALSE(data.ActiveStore().Dragging);
  EXPECT_EQ(Screen(1), (TPoint{50, 60}));
  EXPECT_EQ(Screen(0), (TPoint{250, 200}));
  // Each move is one undo step.
  data.Undo();
  EXPECT_EQ(Screen(1), (TPoint{101, 101}));
  data.Undo();
  EXPECT_EQ(Screen(0), (TPoint{100, 100}));
}

TEST_F(Input, EraseToolDeletesByClickAndByBandAsOneStep) {
  data.SetTool(otMarque);
  for (int i = 0; i < 5; ++i) Click(100 + 20 * i, 100);
  data.SetTool(otEffacer);
  // A zero-size band off the marks deletes nothing.
  Drag({130, 100}, {130, 100});
  EXPECT_EQ(data.MarkCount(), 5);
  Drag({122, 102}, {122, 102});  // within a mark's hit square: a click that deletes it
  EXPECT_EQ(data.MarkCount(), 4);
  data.Undo();
  EXPECT_EQ(data.MarkCount(), 5);
  // A band drawn from lower right to upper left, borders included.
  data.MouseDown(mbLeft, 0, 160, 110);
  data.MouseMove(0, 140, 90);
  EXPECT_TRUE(data.ActiveStore().RubberBand);
  data.MouseMove(0, 121, 90);
  data.MouseUp(mbLeft, 0, 121, 90);
  EXPECT_FALSE(data.ActiveStore().RubberBand);
  EXPECT_EQ(data.MarkCount(), 3);  // 140 and 160 went
  EXPECT_EQ(view.cursor, QStringLiteral("Gomme"));
  data.Undo();
  EXPECT_EQ(data.MarkCount(), 5);
  // The right button erases the current frame's marks, as one step.
  view.GoToPhysicalFrame(2);
  data.MouseDown(mbRight, 0, 0, 0);
  EXPECT_EQ(data.MarkCount(), 4);
  EXPECT_LE(data.MarksOnFrame(2), 0);
  data.Undo();
  EXPECT_EQ(data.MarkCount(), 5);
}

TEST_F(Input, MovingATransparentMarkKeepsTheOverlay) {
  view.mode = mvTransparent;
  data.SetTool(otTsp);
  data.MouseDown(mbLeft, 0, 320, 240);  // grab the overlay
  data.MouseMove(0, 300, 200);
  data.MouseUp(mbLeft, 0, 300, 200);  // drop it: its origin on this frame
  Click(350, 250);                    // the mark
  ASSERT_EQ(data.TransparentStore().MarkCount(), 1);
  const TRect overlay = data.Transparent().Rect();
  const TPointD relative = data.TransparentStore().AllMarks()[0]->GetRelativePosition();
  view.GoToPhysicalFrame(0);
  data.SetTool(otDeplacer);
  Drag({350, 250}, {360, 270});
  EXPECT_EQ(data.Transparent().Rect(), overlay);
  const TPointD moved = data.TransparentStore().AllMarks()[0]->GetRelativePosition();
  EXPECT_NEAR(moved.x - relative.x, 10.0 / view.ImageWidth(), 1e-9);
  EXPECT_NEAR(moved.y - relative.y, 20.0 / view.ImageHeight(), 1e-9);
}

TEST_F(Input, KeysRecolourSelectPointsAndUndo) {
  data.SetMarksNumberPerFrame(3);
  data.SetTool(otMarque);
  const TColor c2 = data.MarkColor(2);
  data.KeyDown(vk0 + 3, 0);
  EXPECT_EQ(data.MarkColor(2), PaletteColor(PaletteIndex(c2) + 1));
  data.KeyDown(vkNumpad0 + 3, ssCtrl);
  data.KeyDown(vkNumpad0 + 3, ssCtrl);
  EXPECT_EQ(data.MarkColor(2), PaletteColor(PaletteIndex(c2) - 1));
  const TColor element = data.ElementColor;
  data.KeyDown(vk0, 0);
  EXPECT_EQ(data.ElementColor, PaletteColor(PaletteIndex(element) + 1));
  // Alt selects the next point and wraps; the cursor names the next number.
  EXPECT_EQ(data.ToolCursor(), QStringLiteral("Marque1"));
  data.KeyDown(vkMenu, 0);
  EXPECT_EQ(data.CurrentMarkOrderNumber(), 1);
  EXPECT_EQ(data.ToolCursor(), QStringLiteral("Marque2"));
  data.KeyDown(vkMenu, 0);
  data.KeyDown(vkMenu, 0);
  EXPECT_EQ(data.CurrentMarkOrderNumber(), 0);
  // Ctrl+A undoes.
  Click(10, 10);
  EXPECT_EQ(data.MarkCount(), 1);
  data.KeyDown(vkA, ssCtrl);
  EXPECT_EQ(data.MarkCount(), 0);
  // Nothing at all while capturing.
  view.mode = mvCapture;
  data.KeyDown(vk0, 0);
  EXPECT_EQ(data.ElementColor, PaletteColor(PaletteIndex(element) + 1));
}

TEST_F(Input, OverlayKeysResizeOnlyWithTheOverlayTool) {
  view.mode = mvTransparent;
  data.SetTool(otTsp);
  const double w = data.Transparent().LayerWidth;
  data.KeyDown(vkSubtract, 0);
  EXPECT_NEAR(data.Transparent().LayerWidth, 0.9 * w, 1e-12);
  data.KeyDown(vkOemPlus, 0);
  EXPECT_NEAR(data.Transparent().LayerWidth, 0.99 * w, 1e-12);
  data.SetTool(otDeplacer);
  data.KeyDown(vkAdd, 0);
  EXPECT_NEAR(data.Transparent().LayerWidth, 0.99 * w, 1e-12);
}

TEST_F(Input, ToolCursors) {
  const struct {
    TOutil tool;
    const char* cursor;
  } cases[] = {{otEchelle, "Echelle"}, {otMarque, "Marque"}, {otOrigine, "Origine"},
               {otDeplacer, ""},       {otEffacer, ""},      {otAucun, ""}};
  for (const auto& c : cases) {
    data.SetTool(c.tool);
    EXPECT_EQ(data.ToolCursor(), QLatin1String(c.cursor)) << int(c.tool);
  }
  data.SetMarksNumberPerFrame(10);
  data.SetTool(otMarque);
  data.SetCurrentMarkOrderNumber(9);
  EXPECT_EQ(data.ToolCursor(), QStringLiteral("Marque0"));
  view.mode = mvTransparent;
  data.SetTool(otTsp);
  EXPECT_EQ(data.ToolCursor(), QStringLiteral("Pan"));
}

// Drawing: chosen pixels of the overlay painted on a white picture.
class Drawing : public Input {
 protected:
  QImage Paint() {
    QImage img(view.ImageWidth(), view.ImageHeight(), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    data.Draw(p);
    return img;
  }
  static TColor At(const QImage& img, int x, int y) { return FromQColor(img.pixelColor(x, y)); }
};

TEST_F(Drawing, MarksTheirNumbersAndHowManyAreDrawn) {
  data.SetTool(otMarque);
  Click(100, 100);
  Click(200, 150);
  QImage img = Paint();
  EXPECT_EQ(At(img, 100, 100), data.MarkColor(0));
  EXPECT_EQ(At(img, 200, 150), data.MarkColor(0));
  // The number "2" below the second mark: some pixel of the mark's colour in
  // the box where the text starts, none above the mark.
  const auto inBox = [&](const QImage& im, QRect box) {
    for (int y = box.top(); y <= box.bottom(); ++y)
      for (int x = box.left(); x <= box.right(); ++x)
        if (At(im, x, y) == data.MarkColor(0)) return true;
    return false;
  };
  EXPECT_TRUE(inBox(img, QRect(198, 155, 10, 14)));
  EXPECT_FALSE(inBox(img, QRect(190, 125, 20, 15)));
  data.SetMarksNumberPosition(2);  // to the right
  img = Paint();
  EXPECT_TRUE(inBox(img, QRect(208, 143, 10, 14)));
  EXPECT_FALSE(inBox(img, QRect(198, 155, 10, 14)));
  // Only the last mark.
  data.SetMarksIsAllDrawn(false);
  data.SetMarksNumberToDraw(1);
  img = Paint();
  EXPECT_EQ(At(img, 100, 100), 0xFFFFFFu);
  EXPECT_EQ(At(img, 200, 150), data.MarkColor(0));
}

TEST_F(Drawing, FixedAxesWithArrowheadsAndTheScaleAlone) {
  data.SetTool(otOrigine);
  Click(320, 240);
  QImage img = Paint();
  const TPoint xEnd = data.RepereFixe().XAxisEnds()[1];
  EXPECT_EQ(At(img, 330, 240), data.ElementColor);  // on the x axis
  EXPECT_EQ(At(img, 320, 230), data.ElementColor);  // on the y axis
  // The filled arrowhead: 10 pixels long, so 5 pixels back from the tip it
  // is wider than the axis line.
  EXPECT_EQ(At(img, xEnd.x - 5, 241), data.ElementColor);
  EXPECT_EQ(At(img, xEnd.x - 5, 238), data.ElementColor);
  EXPECT_EQ(At(img, xEnd.x - 30, 238), 0xFFFFFFu);
  // With the scale tool only the scale shows.
  data.SetTool(otEchelle);
  Click(100, 400);
  Click(300, 400);
  img = Paint();
  EXPECT_EQ(At(img, 330, 240), 0xFFFFFFu);
  EXPECT_EQ(At(img, 200, 400), data.ElementColor);
  bool arrow = false;  // open arrowhead at point 1: its arms leave the line
  for (int y = 394; y < 400; ++y) arrow = arrow || At(img, 105, y) == data.ElementColor;
  EXPECT_TRUE(arrow);
}

TEST_F(Drawing, OverlayRectangleAndTransparentMarks) {
  view.mode = mvTransparent;
  data.SetTool(otTsp);
  for (int i = 0; i < 8; ++i) data.KeyDown(vkSubtract, 0);
  const TRect r = data.Transparent().Rect();
  ASSERT_TRUE(r.left > 0 && r.top > 0 && r.right < 640 && r.bottom < 480);
  QImage img = Paint();
  EXPECT_EQ(At(img, (r.left + r.right) / 2, r.top), data.ElementColor);
  EXPECT_EQ(At(img, r.left, (r.top + r.bottom) / 2), data.ElementColor);
  EXPECT_EQ(At(img, (r.left + r.right) / 2 + 20, (r.top + r.bottom) / 2 + 20), 0xFFFFFFu);
}

}  // namespace
}  // namespace mlb
