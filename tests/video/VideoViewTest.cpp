// The video view on the test videos: zoom and pan arithmetic, the mapping
// between view pixels and normalized image points, pointing through the view
// at several zooms, playback ticks, modes and keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>

#include "common/UnitGraphUtils.h"
#include "common/UnitMessageBox.h"
#include "measurement/UnitData.h"
#include "video/UnitVideo.h"

namespace mlb {
namespace {

QString Video(const char* name) {
  return qEnvironmentVariable("MOTILAB_TEST_VIDEOS") + QLatin1Char('/') + QLatin1String(name);
}

// The index a test frame shows: 10 blocks, bit k in block k.
int Pattern(const QImage& img) {
  int n = 0;
  for (int k = 0; k < 10; ++k)
    if (qGray(img.pixel((2 * k + 1) * img.width() / 20, img.height() / 2)) > 128) n |= 1 << k;
  return n;
}

TEST(VideoView, ZoomSteps) {
  const struct {
    int from;
    TZoomStep step;
    bool fine;
    int to;
  } cases[] = {{650, zsOut, false, 600}, {250, zsOut, false, 200}, {100, zsOut, false, 100},
               {600, zsIn, false, 800},  {800, zsIn, false, 800},  {105, zsOut, true, 100},
               {100, zsIn, false, 200},  {190, zsIn, false, 200},  {790, zsIn, true, 800},
               {200, zsOut, false, 100}, {700, zsOut, false, 600}, {300, zsIn, true, 310}};
  for (const auto& c : cases)
    EXPECT_EQ(ZoomStep(c.from, c.step, c.fine), c.to) << c.from << " " << int(c.step);
}

TEST(VideoView, KeyCodes) {
  EXPECT_EQ(MeasureKeyCode(Qt::Key_3, Qt::NoModifier), vk0 + 3);
  EXPECT_EQ(MeasureKeyCode(Qt::Key_3, Qt::KeypadModifier), vkNumpad0 + 3);
  EXPECT_EQ(MeasureKeyCode(Qt::Key_Plus, Qt::KeypadModifier), vkAdd);
  EXPECT_EQ(MeasureKeyCode(Qt::Key_Minus, Qt::KeypadModifier), vkSubtract);
  EXPECT_EQ(MeasureKeyCode(Qt::Key_Equal, Qt::NoModifier), vkOemPlus);
  EXPECT_EQ(MeasureKeyCode(Qt::Key_Enter, Qt::KeypadModifier), vkReturn);
  EXPECT_EQ(MeasureKeyCode(Qt::Key_A, Qt::ControlModifier), vkA);
  EXPECT_EQ(MeasureKeyCode(Qt::Key_F5, Qt::NoModifier), 0);
}

class View : public ::testing::Test {
 protected:
  View() : data(&view) {
    view.resize(320, 240);
    view.show();
    view.SetData(&data);
    data.Reset();
    data.SetRequiredDuration(0.04);
  }
  bool Open(const char* name = "avi_rgb24.avi") { return view.OpenVideo(Video(name)); }
  void Click(int x, int y, int button = mbLeft, TShiftState shift = 0) {
    view.HandleMouseDown(button, shift, x, y);
    view.HandleMouseUp(button, shift, x, y);
  }

  TRecordingMessageBox box;
  TMessageBoxGuard guard{&box};
  TVideo view;
  TData data;
};

TEST_F(View, OpensAndNumbersFrames) {
  int opened = 0, closed = 0;
  view.OnSourceOpen = [&](TVideo&) { ++opened; };
  view.OnSourceClose = [&](TVideo&) { ++closed; };
  ASSERT_TRUE(Open());
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(view.Frames(), 30);
  EXPECT_EQ(view.VisibleCount(), 30);
  EXPECT_EQ(data.Tool(), otMarque);
  view.GoTo(7);
  EXPECT_EQ(view.Position(), 7);
  EXPECT_EQ(Pattern(view.Picture()), 7);
  view.GoTo(-3);  // ignored
  EXPECT_EQ(view.Position(), 7);
  QImage grabbed;
  ASSERT_TRUE(view.GrabFrame(grabbed));
  EXPECT_EQ(grabbed.size(), QSize(320, 240));
  EXPECT_EQ(Pattern(grabbed), 7);
  // Another file through another source: the first one is closed.
  ASSERT_TRUE(Open("mp4_h264.mp4"));
  EXPECT_NE(view.Framework(), fwVfw);
  EXPECT_EQ(view.Frames(), 150);
  EXPECT_GE(closed, 1);
  EXPECT_FALSE(view.OpenVideo(Video("broken_text.avi")));
  EXPECT_FALSE(view.Opened());
  EXPECT_EQ(view.Frames(), 0);
}

TEST_F(View, ZoomToolArithmetic) {
  ASSERT_TRUE(Open());
  view.SetTool(ovZoom);
  // A click at the centre: 200 %, the middle quarter shown.
  Click(160, 120);
  EXPECT_EQ(view.Zoom(), 200);
  EXPECT_EQ(view.SourceRect(), QRect(80, 60, 160, 120));
  // Scroll bars appear above 100 %, the picture gets smaller.
  EXPECT_TRUE(view.VerticalBar()->isVisible());
  EXPECT_LT(view.BackBuffer().width(), 320);
  view.ResetZoom();
  EXPECT_EQ(view.Zoom(), 100);
  EXPECT_EQ(view.SourceRect(), QRect(0, 0, 320, 240));
  EXPECT_FALSE(view.VerticalBar()->isVisible());
  // A click at the right edge keeps the shown part inside the frame.
  Click(319, 120);
  EXPECT_EQ(view.SourceRect().left(), 320 - view.SourceRect().width());
  view.ResetZoom();
  // A rectangle a quarter of the picture wide, of the picture's proportions: 400 %.
  view.HandleMouseDown(mbLeft, 0, 40, 30);
  view.HandleMouseMove(0, 120, 90);
  view.HandleMouseUp(mbLeft, 0, 120, 90);
  EXPECT_EQ(view.Zoom(), 400);
  view.ResetZoom();
  // 9 pixels wide: a click (zoom in one level).
  view.HandleMouseDown(mbLeft, 0, 100, 100);
  view.HandleMouseUp(mbLeft, 0, 109, 160);
  EXPECT_EQ(view.Zoom(), 200);
  // The right button zooms out.
  Click(100, 100, mbRight);
  EXPECT_EQ(view.Zoom(), 100);
}

TEST_F(View, PanKeepsTheShownPartInsideTheFrame) {
  ASSERT_TRUE(Open());
  view.SetTool(ovZoom);
  Click(160, 120);
  view.SetTool(ovPan);
  view.HandleMouseDown(mbLeft, 0, 100, 100);
  view.HandleMouseMove(0, 140, 100);  // drag right: the picture moves right
  EXPECT_EQ(view.SourceRect().left(), 80 - 20);
  view.HandleMouseMove(0, 400, 500);
  EXPECT_EQ(view.SourceRect().topLeft(), QPoint(0, 0));
  view.HandleMouseMove(0, -900, -900);
  EXPECT_EQ(view.SourceRect().left(), 320 - 160);
  EXPECT_EQ(view.SourceRect().top(), 240 - 120);
  view.HandleMouseUp(mbLeft, 0, -900, -900);
  // The scroll bars follow, and moving them moves the picture.
  EXPECT_EQ(view.HorizontalBar()->value(), view.HorizontalBar()->maximum());
  view.HorizontalBar()->setValue(0);
  EXPECT_EQ(view.SourceRect().left(), 0);
}

TEST_F(View, MappingRoundTripAndClamping) {
  ASSERT_TRUE(Open());
  const TPointD outside = view.ScreenToImage(-5, -5);
  EXPECT_EQ(outside.x, 0.0);
  EXPECT_EQ(outside.y, 0.0);
  const TPointD beyond = view.ScreenToImage(1000, 1000);
  EXPECT_EQ(beyond.x, 1.0);
  EXPECT_EQ(beyond.y, 1.0);
  for (int z : {100, 200, 300, 400, 500, 600, 800}) {
    view.ResetZoom();
    view.SetTool(ovZoom);
    while (view.Zoom() < z) Click(200, 150);
    view.SetTool(ovAucun);
    ASSERT_EQ(view.Zoom(), z);
    for (int x = 0; x < view.BackBuffer().width(); x += 7)
      for (int y = 0; y < view.BackBuffer().height(); y += 5) {
        const TPoint back = view.ImageToScreen(view.ScreenToImage(x, y));
        ASSERT_EQ(back, (TPoint{x, y})) << "zoom " << z;
      }
  }
}

TEST_F(View, ClicksPlaceMarksUnderThePointerAtEveryZoom) {
  ASSERT_TRUE(Open());
  // 100 %: the mark's screen point is the click, and the frame advances.
  Click(50, 60);
  ASSERT_EQ(data.MarkCount(), 1);
  EXPECT_EQ(view.Position(), 1);
  const TMarque* m = data.FixedStore().AllMarks()[0];
  EXPECT_EQ(m->ScreenPoint(), (TPoint{50, 60}));
  EXPECT_NEAR(m->GetImagePosition().x * 320, 50, 0.5);
  // 300 % with a pan: the frame pixel under the pointer.
  view.SetTool(ovZoom);
  Click(160, 120);
  Click(160, 120);
  ASSERT_EQ(view.Zoom(), 300);
  view.SetTool(ovPan);
  view.HandleMouseDown(mbLeft, 0, 100, 100);
  view.HandleMouseMove(0, 130, 110);
  view.HandleMouseUp(mbLeft, 0, 130, 110);
  view.SetTool(ovAucun);
  const QRect src = view.SourceRect();
  const double scale = view.DisplayWidth() / 320;  // view pixels per frame pixel
  Click(90, 70);
  ASSERT_EQ(data.MarkCount(), 2);
  const TMarque* m2 = data.FixedStore().AllMarks()[1];
  EXPECT_EQ(m2->ScreenPoint(), (TPoint{90, 70}));
  EXPECT_NEAR(m2->GetImagePosition().x * 320, src.left() + 90 / scale, 0.5);
  EXPECT_NEAR(m2->GetImagePosition().y * 240, src.top() + 70 * 240 / view.DisplayHeight(), 0.5);
  // The first mark follows the zoom on the screen.
  EXPECT_EQ(data.FixedStore().AllMarks()[0]->ScreenPoint(),
            view.ImageToScreen(m->GetImagePosition()));
  // The picture shows the mark where it was clicked, in its colour.
  view.GoTo(1);
  const QImage pic = view.Picture();
  EXPECT_EQ(FromQColor(pic.pixelColor(90, 70)), data.MarkColor(0));
  // The move tool then drags it, and the erase tool removes it.
  data.SetTool(otDeplacer);
  view.HandleMouseDown(mbLeft, 0, 90, 70);
  view.HandleMouseMove(0, 120, 80);
  view.HandleMouseUp(mbLeft, 0, 120, 80);
  EXPECT_EQ(m2->ScreenPoint(), (TPoint{120, 80}));
  data.SetTool(otEffacer);
  Click(120, 80);
  EXPECT_EQ(data.MarkCount(), 1);
}

TEST_F(View, RealMouseEventsReachTheData) {
  ASSERT_TRUE(Open());
  for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent e(type, QPointF(70, 80), view.mapToGlobal(QPointF(70, 80)), Qt::LeftButton,
                  type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &e);
  }
  ASSERT_EQ(data.MarkCount(), 1);
  EXPECT_EQ(data.FixedStore().AllMarks()[0]->ScreenPoint(), (TPoint{70, 80}));
}

TEST_F(View, PlaybackTicks) {
  ASSERT_TRUE(Open());
  const int delay = view.Source().FrameDelay;  // 40 ms at 25 fps
  ASSERT_EQ(delay, 40);
  view.Play(3, 10);
  EXPECT_TRUE(view.Playing());
  EXPECT_EQ(view.Position(), 3);
  view.Tick(5);
  EXPECT_EQ(view.Position(), 4);  // at least one frame per tick
  view.Tick(5 * delay + 1);
  EXPECT_EQ(view.Position(), 8);  // the time elapsed decides
  view.Tick(100 * delay);
  EXPECT_EQ(view.Position(), 10);  // never beyond the last
  EXPECT_TRUE(view.Playing());
  view.Tick(101 * delay);
  EXPECT_FALSE(view.Playing());
  EXPECT_EQ(view.Position(), 10);
  // From the last frame: the first tick stops without moving.
  view.Play(29, 29);
  view.Tick(delay);
  EXPECT_FALSE(view.Playing());
  EXPECT_EQ(view.Position(), 29);
  // GoTo stops a playback.
  view.Play(0, 29);
  view.GoTo(5);
  EXPECT_FALSE(view.Playing());
}

TEST_F(View, ModesAndTools) {
  int refused = 0, changed = 0, toolChanges = 0;
  view.OnModeRefused = [&](TVideo&) { ++refused; };
  view.OnModeChange = [&](TVideo&) { ++changed; };
  view.OnViewToolChange = [&](TVideo&) { ++toolChanges; };
  view.SetMode(mvMontage);  // nothing open: one frame or less
  EXPECT_EQ(refused, 1);
  EXPECT_EQ(view.Mode(), mvRepereFixe);
  ASSERT_TRUE(Open());
  view.SetTool(ovZoom);
  EXPECT_EQ(toolChanges, 1);
  view.SetMode(mvTransparent);
  EXPECT_EQ(view.Mode(), mvTransparent);
  EXPECT_EQ(data.Tool(), otTsp);
  EXPECT_EQ(view.Tool(), ovAucun);  // a mode change drops the view tool
  EXPECT_EQ(changed, 1);
  view.SetMode(mvMontage);
  EXPECT_EQ(data.Tool(), otAucun);
  Click(100, 100);  // nobody listens in montage mode
  EXPECT_EQ(data.MarkCount(), 0);
  view.SetMode(mvCapture);  // no capture device
  EXPECT_EQ(refused, 2);
  EXPECT_EQ(view.Mode(), mvMontage);
  view.SetMode(mvRepereFixe);
  EXPECT_EQ(data.Tool(), otMarque);
}

TEST_F(View, KeysOfTheView) {
  ASSERT_TRUE(Open());
  QCursor::setPos(view.mapToGlobal(QPoint(100, 90)));
  // Enter with no view tool: the data's keyboard click.
  view.HandleKey(vkReturn, 0);
  ASSERT_EQ(data.MarkCount(), 1);
  EXPECT_EQ(data.FixedStore().AllMarks()[0]->ScreenPoint(), (TPoint{100, 90}));
  // Escape: a right press, which takes the last mark back.
  view.HandleKey(vkEscape, 0);
  EXPECT_EQ(data.MarkCount(), 0);
  // Enter with the zoom tool: a press of that tool, not a mark.
  view.SetTool(ovZoom);
  view.HandleKey(vkReturn, 0);
  view.HandleMouseUp(mbLeft, 0, 100, 90);
  EXPECT_EQ(view.Zoom(), 200);
  EXPECT_EQ(data.MarkCount(), 0);
}

}  // namespace
}  // namespace mlb

namespace mlb {
namespace {

TEST_F(View, LoupePlacementAndMagnification) {
  ASSERT_TRUE(Open());
  TLoupe* loupe = view.Loupe();
  EXPECT_FALSE(loupe->isVisible());
  // A fifth of the view, 2 pixels from the top right corner.
  EXPECT_EQ(loupe->geometry(), QRect(320 - 64 - 2, 2, 64, 48));
  EXPECT_EQ(loupe->SourceSize(), QSize(21, 16));  // 300 %
  // Placements stay inside the picture.
  loupe->Place(1000, -50, 64, 48);
  EXPECT_EQ(loupe->pos(), QPoint(320 - 64, 0));
  // A press well inside: left +100, right -100, within 100..600.
  loupe->resize(120, 100);
  const QPoint inside(60, 50);
  for (int i = 0; i < 5; ++i) {
    QMouseEvent e(QEvent::MouseButtonPress, inside, loupe->mapToGlobal(QPointF(inside)),
                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(loupe, &e);
  }
  EXPECT_EQ(loupe->Magnification(), 600);
  QMouseEvent right(QEvent::MouseButtonPress, inside, loupe->mapToGlobal(QPointF(inside)),
                    Qt::RightButton, Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(loupe, &right);
  EXPECT_EQ(loupe->Magnification(), 500);
  // It follows the mouse over the view when shown.
  loupe->show();
  view.HandleMouseMove(0, 100, 80);
  EXPECT_EQ(loupe->Centre(), QPoint(100, 80));
  // A mode without pointing hides it.
  view.SetMode(mvMontage);
  EXPECT_FALSE(loupe->isVisible());
}

}  // namespace
}  // namespace mlb
