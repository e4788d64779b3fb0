#include "common/UnitGraphUtils.h"

#include <cmath>
#include <cstdlib>

#include <QBrush>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPolygon>

#include "common/UnitPalette.h"

namespace mlb {

QColor ToQColor(TColor c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

TColor FromQColor(const QColor& c) {
  return static_cast<TColor>(c.red()) | static_cast<TColor>(c.green()) << 8 |
         static_cast<TColor>(c.blue()) << 16;
}

namespace {

using Pts = std::vector<QPoint>;

// The figures at the small size (half-side 4).
const std::array<Pts, TGraphUtils::kShapeCount>& SmallShapes() {
  static const std::array<Pts, TGraphUtils::kShapeCount> shapes = {
      Pts{{2, -3},
          {0, -1},
          {-2, -3},
          {-4, -3},
          {-1, 0},
          {-4, 3},
          {-2, 3},
          {0, 1},
          {2, 3},
          {4, 3},
          {1, 0},
          {4, -3}},
      Pts{{-1, -4},
          {0, 0},
          {-4, -1},
          {-4, 1},
          {0, 0},
          {-1, 4},
          {1, 4},
          {0, 0},
          {4, 1},
          {4, -1},
          {0, 0},
          {1, -4}},
      Pts{{0, -4},
          {0, 0},
          {-3, -3},
          {0, 0},
          {-4, 0},
          {0, 0},
          {-3, 3},
          {0, 0},
          {0, 4},
          {0, 0},
          {3, 3},
          {0, 0},
          {4, 0},
          {0, 0},
          {3, -3},
          {0, 0}},
      Pts{{-1, -4},
          {-1, -1},
          {-4, -1},
          {-4, 1},
          {-1, 1},
          {-1, 4},
          {1, 4},
          {1, 1},
          {4, 1},
          {4, -1},
          {1, -1},
          {1, -4},
          {-1, -4}},
      Pts{{0, 0},
          {-2, -4},
          {-4, -2},
          {0, 0},
          {-4, 2},
          {-2, 4},
          {0, 0},
          {2, 4},
          {4, 2},
          {0, 0},
          {4, -2},
          {2, -4}},
      Pts{{0, -4}, {-1, -1}, {-4, 0}, {-1, 1}, {0, 4}, {1, 1}, {4, 0}, {1, -1}},
      Pts{{-1, -4},
          {-4, -1},
          {-1, -1},
          {-1, 1},
          {-4, 1},
          {-1, 4},
          {-1, 1},
          {1, 1},
          {1, 4},
          {1, 1},
          {1, 4},
          {4, 1},
          {1, 1},
          {1, -1},
          {4, -1},
          {1, -4},
          {1, -1},
          {-1, -1}},
      Pts{{0, -4}, {-1, -1}, {-4, -1}, {-2, 1}, {-3, 4}, {0, 2}, {3, 4}, {2, 1}, {4, -1}, {1, -1}},
      Pts{{0, -4},
          {0, 0},
          {-4, -2},
          {0, 0},
          {-4, 2},
          {0, 0},
          {0, 4},
          {0, 0},
          {4, 2},
          {0, 0},
          {4, -2},
          {0, 0}},
      Pts{{0, -4},
          {-1, -2},
          {-4, -2},
          {-2, 0},
          {-4, 2},
          {-1, 2},
          {0, 4},
          {1, 2},
          {4, 2},
          {2, 0},
          {4, -2},
          {1, -2}},
      Pts{{0, -4},
          {-1, -3},
          {0, 0},
          {-3, -1},
          {-4, 0},
          {-3, 1},
          {0, 0},
          {-1, 3},
          {0, 4},
          {1, 3},
          {0, 0},
          {3, 1},
          {4, 0},
          {3, -1},
          {0, 0},
          {1, -3}},
      Pts{{0, -2}, {-4, -4}, {-2, 0}, {-4, 4}, {0, 2}, {4, 4}, {2, 0}, {4, -4}},
      Pts{{0, -4}, {-3, 3}, {3, 3}},
      Pts{{-3, -3}, {3, -3}, {3, 3}, {-3, 3}},
      Pts{},  // disc
      Pts{{0, -4}, {-4, 0}, {0, 4}, {4, 0}},
      Pts{{0, -4}, {0, 0}, {-4, 0}, {0, 0}, {0, 4}, {0, 0}, {4, 0}, {0, 0}},
      Pts{{-2, -2}, {2, -2}, {2, 2}, {-2, 2}, {-2, -2}},
  };
  return shapes;
}

constexpr std::array<int, 3> kExtent = {4, 7, 10};

Pts Square(int h) {
  return {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
}

// Eight arms 2 pixels wide reaching r pixels from the centre: per arm an inner
// corner between it and the previous arm, then the two corners of its tip.
Pts Asterisk(int r) {
  Pts pts;
  constexpr double kPi = 3.14159265358979323846;
  for (int k = 0; k < 8; ++k) {
    const double a = -kPi / 2 + k * kPi / 4;  // from the top, y pointing down
    const double inner = a + kPi / 8;
    pts.push_back({static_cast<int>(std::lround(1.6 * std::cos(inner))),
                   static_cast<int>(std::lround(1.6 * std::sin(inner)))});
    const double cx = r * std::cos(a), cy = r * std::sin(a);
    const double nx = -std::sin(a), ny = std::cos(a);  // across the arm
    pts.push_back({static_cast<int>(std::lround(cx + nx)), static_cast<int>(std::lround(cy + ny))});
    pts.push_back({static_cast<int>(std::lround(cx - nx)), static_cast<int>(std::lround(cy - ny))});
  }
  return pts;
}

}  // namespace

int TMotif::Extent() const {
  return kExtent[Size > 2 ? 2 : Size];
}

std::vector<QPoint> TMotif::Vertices() const {
  const int size = Size > 2 ? 2 : Size;
  if (shape_ >= TGraphUtils::kShapeCount) return {};
  const Pts& small = SmallShapes()[shape_];
  if (size == 0) return small;
  switch (shape_) {
    case 2:
      return Asterisk(kExtent[size]);
    case 12:
      return size == 1 ? Pts{{0, -7}, {-5, 5}, {5, 5}} : Pts{{0, -10}, {-7, 7}, {7, 7}};
    case 13:
      return Square(size == 1 ? 5 : 7);
    case 17: {
      Pts s = Square(size == 1 ? 3 : 4);
      s.push_back(s.front());
      return s;
    }
    default:
      break;
  }
  // The same figure, stretched from the small box to the larger one.
  Pts out;
  out.reserve(small.size());
  const double k = kExtent[size] / 4.0;
  for (const QPoint& v : small)
    out.push_back(
        {static_cast<int>(std::lround(v.x() * k)), static_cast<int>(std::lround(v.y() * k))});
  return out;
}

void TMotif::Draw(QPainter& p, QPoint centre, TColor colour) const {
  const QBrush oldBrush = p.brush();
  const QPen oldPen = p.pen();
  const QColor c = ToQColor(colour);
  p.setBrush(shape_ == TGraphUtils::kHollowShape ? QColor(Qt::white) : c);
  p.setPen(QPen(c, 1, Qt::SolidLine));
  if (shape_ == 14) {
    const int e = Extent();
    p.drawEllipse(QRect(centre.x() - e, centre.y() - e, 2 * e + 1, 2 * e + 1));
  } else {
    QPolygon poly;
    for (const QPoint& v : Vertices()) poly << centre + v;
    p.drawPolygon(poly);
  }
  p.setBrush(oldBrush);
  p.setPen(oldPen);
}

TGraphUtils::TGraphUtils()
    : palette_(kPalette.begin(), kPalette.end()),
      secondPalette_{0x0000FF, 0xFF0000, 0x008000, 0x6500D6, 0xD6C900} {
  for (int s = 0; s < kShapeCount; ++s) shapes_.emplace_back(static_cast<std::uint8_t>(s));
}

TColor TGraphUtils::PaletteColor(int i) const {
  return mlb::PaletteColor(i);
}

TColor TGraphUtils::SecondPaletteColor(int i) const {
  const int n = static_cast<int>(secondPalette_.size());
  if (i == -1) return secondPalette_.back();
  return secondPalette_[static_cast<std::size_t>(std::abs(i) % n)];
}

int TGraphUtils::PaletteIndex(TColor c) const {
  return mlb::PaletteIndex(c);
}

void TGraphUtils::DrawMark(QPainter& p, QPoint centre, TColor colour, std::uint8_t size, int i) {
  if (i < 0) return;
  DrawShape(p, centre, colour, size, CurveShape(i));
}

void TGraphUtils::DrawShape(QPainter& p, QPoint centre, TColor colour, std::uint8_t size,
                            int shape) {
  if (shape < 0 || shape >= kShapeCount) return;
  TMotif& m = shapes_[static_cast<std::size_t>(shape)];
  m.Size = size;
  m.Draw(p, centre, colour);
}

namespace {

// The classic 3D colours of buttons.
constexpr TColor kShadow = 0xA0A0A0;
constexpr TColor kLight = 0xE3E3E3;
constexpr TColor kHighlight = 0xFFFFFF;

}  // namespace

void TGraphUtils::PaintCell(QPainter& p, const QRect& cell, TColor background, const QString& text,
                            int style, int fontStyle, TColor textColour) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  const int w = cell.width(), h = cell.height();
  p.fillRect(cell, ToQColor(background));
  if (style & csFramed) {
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(cell.adjusted(-1, -1, 0, 0));  // the rectangle grown by 1 on every side
  }
  const QColor face = ToQColor(0xE2DFDB);
  p.setBrush(face);
  p.setPen(face);
  if ((style & csArrows) && w > 24) {
    const int l = cell.left(), r = cell.right(), t = cell.top(), b = cell.bottom() - 1;
    const int mid = (cell.top() + cell.bottom()) / 2;
    const auto arrow = [&](int tip, int base) {
      const QPolygon tri({QPoint(tip, mid), QPoint(base, t), QPoint(base, b)});
      p.setPen(face);
      p.drawPolygon(tri);
      p.setPen(ToQColor(kLight));  // raised edge: light above, shadow below
      p.drawLine(tri[0], tri[1]);
      p.setPen(ToQColor(kShadow));
      p.drawLine(tri[1], tri[2]);
      p.drawLine(tri[2], tri[0]);
    };
    arrow(l + 1, l + 12);
    arrow(r - 1, r - 12);
  }
  if ((style & csHideButton) && h + 27 < w) {
    const QPoint c((cell.left() + cell.right()) / 2, (cell.top() + cell.bottom()) / 2);
    const int rad = h / 2 - 1;
    const QRect box(c.x() - rad, c.y() - rad, 2 * rad, 2 * rad);
    p.setPen(face);
    p.drawEllipse(box);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ToQColor(kLight), 1));
    p.drawArc(box, 45 * 16, 180 * 16);
    p.setPen(QPen(ToQColor(kShadow), 1));
    p.drawArc(box, 225 * 16, 180 * 16);
  }
  if (style & csSunken) {
    const QRect r = cell.adjusted(0, 0, -1, -1);
    for (int k = 0; k < 2; ++k) {
      const QRect e = r.adjusted(k, k, -k, -k);
      p.setPen(ToQColor(kShadow));
      p.drawLine(e.topLeft(), e.topRight());
      p.drawLine(e.topLeft(), e.bottomLeft());
      p.setPen(ToQColor(kHighlight));
      p.drawLine(e.bottomLeft(), e.bottomRight());
      p.drawLine(e.topRight(), e.bottomRight());
    }
  }
  if (!(style & (csArrows | csHideButton))) {
    QFont f = p.font();
    f.setBold(fontStyle == 1);
    p.setFont(f);
    p.setPen(ToQColor(textColour));
    p.setBrush(Qt::NoBrush);
    const QFontMetrics fm(f);
    const int left = (style & csCentred) ? std::max(2, (w - fm.horizontalAdvance(text)) / 2) : 2;
    p.drawText(QPoint(cell.left() + left, cell.top() + 1 + fm.ascent()), text);
  }
  p.restore();
}

TGraphUtils& GraphUtils() {
  static TGraphUtils utils;
  return utils;
}

}  // namespace mlb
