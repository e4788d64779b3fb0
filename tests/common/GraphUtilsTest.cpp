// The drawing toolbox: palettes, marker shapes painted into an image, and the
// cell painter's parts by style and size.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "common/UnitGraphUtils.h"
#include "common/UnitPalette.h"

namespace mlb {
namespace {

QImage White(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::white);
  return img;
}

int CountColour(const QImage& img, TColor c) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) n += FromQColor(img.pixelColor(x, y)) == c;
  return n;
}

TEST(GraphUtils, Palettes) {
  TGraphUtils& g = GraphUtils();
  EXPECT_EQ(g.PaletteColor(-1), kPalette[64]);
  EXPECT_EQ(g.PaletteColor(-2), kPalette[2]);
  EXPECT_EQ(g.PaletteColor(65), kPalette[0]);
  EXPECT_EQ(g.PaletteIndex(0x123457), 0);
  EXPECT_EQ(g.SecondPaletteColor(6), 0xFF0000u);
  EXPECT_EQ(g.CurveShape(13), 1);
  EXPECT_EQ(g.SecondSetShape(5), 13);
  EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
}

TEST(GraphUtils, MarksAndShapesKeepThePainterAndTheirExtent) {
  TGraphUtils& g = GraphUtils();
  for (std::uint8_t size = 0; size < 3; ++size) {
    const int extent = size == 0 ? 4 : size == 1 ? 7 : 10;
    for (int shape = 0; shape < TGraphUtils::kShapeCount; ++shape) {
      SCOPED_TRACE(testing::Message() << "size " << int(size) << " shape " << shape);
      QImage img = White(41, 41);
      QPainter p(&img);
      const QPen pen(Qt::blue, 3, Qt::DashLine);
      p.setPen(pen);
      p.setBrush(Qt::green);
      g.DrawShape(p, QPoint(20, 20), 0x0000FF, size, shape);
      EXPECT_EQ(p.pen(), pen);
      EXPECT_EQ(p.brush().color(), QColor(Qt::green));
      p.end();
      // Something is drawn, and only within the shape's box.
      const int red = CountColour(img, 0x0000FF);
      EXPECT_GT(red, 0);
      int outside = 0;
      for (int y = 0; y < 41; ++y)
        for (int x = 0; x < 41; ++x)
          if (FromQColor(img.pixelColor(x, y)) != 0xFFFFFF &&
              (std::abs(x - 20) > extent + 1 || std::abs(y - 20) > extent + 1))
            ++outside;
      EXPECT_EQ(outside, 0);
      if (shape == TGraphUtils::kHollowShape)
        EXPECT_EQ(FromQColor(img.pixelColor(20, 20)), 0xFFFFFFu);
    }
  }
  // Mark order 12 uses shape 0; a negative order draws nothing; a shape
  // number out of range draws nothing.
  QImage a = White(21, 21), b = White(21, 21), c = White(21, 21);
  {
    QPainter pa(&a), pb(&b), pc(&c);
    g.DrawMark(pa, QPoint(10, 10), 0xFF0000, 0, 12);
    g.DrawShape(pb, QPoint(10, 10), 0xFF0000, 0, 0);
    g.DrawMark(pc, QPoint(10, 10), 0xFF0000, 0, -1);
    g.DrawShape(pc, QPoint(10, 10), 0xFF0000, 0, 18);
  }
  EXPECT_EQ(a, b);
  EXPECT_EQ(CountColour(c, 0xFFFFFF), 21 * 21);
}

TEST(GraphUtils, PaintCellPartsByStyleAndSize) {
  TGraphUtils& g = GraphUtils();
  const TColor face = 0xE2DFDB;
  const auto paint = [&](int w, int h, int style, const QString& text) {
    QImage img = White(w + 4, h + 4);
    QPainter p(&img);
    g.PaintCell(p, QRect(2, 2, w, h), 0xEBEBEB, text, style, 0, 0x000000);
    return img;
  };
  // Style 27, 30 x 18: the arrows, no hide button (18 + 27 is not below 30).
  QImage img = paint(30, 18, 27, QStringLiteral("x"));
  EXPECT_EQ(FromQColor(img.pixelColor(2 + 5, 2 + 9)), face);        // inside the left arrow
  EXPECT_EQ(FromQColor(img.pixelColor(2 + 15, 2 + 9)), 0xEBEBEBu);  // centre: no button
  EXPECT_EQ(FromQColor(img.pixelColor(1, 1)), 0x000000u);           // the frame
  // 60 wide: arrows and the button, and no text.
  img = paint(60, 18, 27, QStringLiteral("Wide text here"));
  EXPECT_EQ(FromQColor(img.pixelColor(2 + 30, 2 + 9)), face);
  EXPECT_EQ(CountColour(img, 0x000000), CountColour(paint(60, 18, 27, QString()), 0x000000));
  // Plain text shows; style 3 centres it.
  const QImage left = paint(80, 18, 0, QStringLiteral("ab"));
  const QImage centred = paint(80, 18, 3, QStringLiteral("ab"));
  int leftMost = 100, centredMost = 100;
  for (int y = 0; y < 22; ++y)
    for (int x = 0; x < 84; ++x) {
      if (FromQColor(left.pixelColor(x, y)) == 0 && x > 2) leftMost = std::min(leftMost, x);
      if (FromQColor(centred.pixelColor(x, y)) == 0 && x > 2 && y > 2 && y < 19)
        centredMost = std::min(centredMost, x);
    }
  EXPECT_LT(leftMost, 10);
  EXPECT_GT(centredMost, 30);
}

}  // namespace
}  // namespace mlb
