#include "resources/UnitCursors.h"

#include <cmath>
#include <functional>
#include <map>

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace mlb {

namespace {

constexpr int kSize = 32;
constexpr QPoint kCentre(15, 15);

// Strokes a path in black over a white halo, so the cursor shows on dark
// and light pictures alike.
void Stroke(QPainter& p, const QPainterPath& path, bool fill = false) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.drawPath(path);
  p.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  if (fill) p.setBrush(Qt::black);
  p.drawPath(path);
  p.setBrush(Qt::NoBrush);
}

QPainterPath Line(QPointF a, QPointF b) {
  QPainterPath path(a);
  path.lineTo(b);
  return path;
}

// A cross-hair with a gap at its centre.
void CrossHair(QPainter& p, QPoint c, int arm = 10, int gap = 2) {
  QPainterPath path;
  path.moveTo(c.x() - arm, c.y());
  path.lineTo(c.x() - gap, c.y());
  path.moveTo(c.x() + gap, c.y());
  path.lineTo(c.x() + arm, c.y());
  path.moveTo(c.x(), c.y() - arm);
  path.lineTo(c.x(), c.y() - gap);
  path.moveTo(c.x(), c.y() + gap);
  path.lineTo(c.x(), c.y() + arm);
  Stroke(p, path);
}

// A small filled arrowhead at tip pointing along (dx, dy).
QPainterPath Head(QPointF tip, double dx, double dy, double len = 4) {
  const double l = std::hypot(dx, dy);
  dx /= l;
  dy /= l;
  QPainterPath path(tip);
  path.lineTo(tip.x() - dx * len - dy * len * 0.7, tip.y() - dy * len + dx * len * 0.7);
  path.lineTo(tip.x() - dx * len + dy * len * 0.7, tip.y() - dy * len - dx * len * 0.7);
  path.closeSubpath();
  return path;
}

// A double arrow from a to b.
void DoubleArrow(QPainter& p, QPointF a, QPointF b) {
  Stroke(p, Line(a, b));
  Stroke(p, Head(b, b.x() - a.x(), b.y() - a.y()), true);
  Stroke(p, Head(a, a.x() - b.x(), a.y() - b.y()), true);
}

void FourWay(QPainter& p, QPoint c, int arm = 9) {
  DoubleArrow(p, QPointF(c.x() - arm, c.y()), QPointF(c.x() + arm, c.y()));
  DoubleArrow(p, QPointF(c.x(), c.y() - arm), QPointF(c.x(), c.y() + arm));
}

// The ordinary arrow pointer with its tip at (1, 1).
void Pointer(QPainter& p) {
  QPainterPath path(QPointF(1, 1));
  path.lineTo(1, 17);
  path.lineTo(5, 13);
  path.lineTo(8, 20);
  path.lineTo(10, 19);
  path.lineTo(7, 12);
  path.lineTo(12, 12);
  path.closeSubpath();
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  p.drawPath(path);
}

void Digit(QPainter& p, int d, QPoint at = QPoint(19, 19)) {
  QFont f;
  f.setPixelSize(11);
  f.setBold(true);
  p.setFont(f);
  const QRect box(at, QSize(11, 12));
  p.fillRect(box, Qt::white);
  p.setPen(Qt::black);
  p.drawRect(box.adjusted(0, 0, -1, -1));
  p.drawText(box, Qt::AlignCenter, QString::number(d));
}

void Magnifier(QPainter& p, const QString& sign) {
  QPainterPath glass;
  glass.addEllipse(QPointF(11, 11), 8, 8);
  Stroke(p, glass);
  Stroke(p, Line(QPointF(17, 17), QPointF(27, 27)));
  p.setPen(QPen(Qt::black, 2));
  p.drawLine(QPointF(17.5, 17.5), QPointF(27, 27));
  p.setPen(QPen(Qt::black, 1));
  if (sign == QLatin1String("+")) {
    p.drawLine(7, 11, 15, 11);
    p.drawLine(11, 7, 11, 15);
  } else if (sign == QLatin1String("x")) {
    DoubleArrow(p, QPointF(5, 11), QPointF(17, 11));
  } else {
    DoubleArrow(p, QPointF(11, 5), QPointF(11, 17));
  }
}

void Pencil(QPainter& p) {
  QPainterPath body(QPointF(1, 30));
  body.lineTo(4, 22);
  body.lineTo(22, 4);
  body.lineTo(27, 9);
  body.lineTo(9, 27);
  body.closeSubpath();
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  p.drawPath(body);
  p.drawLine(4, 22, 9, 27);
}

void Eraser(QPainter& p, bool highlighted) {
  QPainterPath body(QPointF(4, 22));
  body.lineTo(16, 10);
  body.lineTo(24, 18);
  body.lineTo(12, 30);
  body.closeSubpath();
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(highlighted ? QColor(255, 120, 120) : QColor(Qt::white));
  p.drawPath(body);
}

void CurvedArrow(QPainter& p, QPoint c) {
  QPainterPath arc;
  arc.arcMoveTo(QRectF(c.x() - 9, c.y() - 9, 18, 18), 120);
  arc.arcTo(QRectF(c.x() - 9, c.y() - 9, 18, 18), 120, 270);
  Stroke(p, arc);
  const QPointF end = arc.currentPosition();
  Stroke(p, Head(end, 1, 1), true);
}

// A decaying oscillation and an up or down arrow.
void Damping(QPainter& p, bool exponential, bool up) {
  QPainterPath wave(QPointF(2, 16));
  for (int x = 2; x <= 26; ++x) {
    const double t = (x - 2) / 24.0;
    const double a = exponential ? 10 * std::exp(-2.5 * t) : 10 * (1 - 0.85 * t);
    wave.lineTo(x, 16 - a * std::sin(t * 3 * 6.2832));
  }
  Stroke(p, wave);
  DoubleArrow(p, QPointF(28, up ? 10 : 22), QPointF(28, up ? 2 : 30));
}

using Painter = std::function<void(QPainter&)>;

struct Entry {
  Painter paint;
  QPoint hot;
};

std::map<QString, Entry> Build() {
  std::map<QString, Entry> m;
  const QPoint tip(1, 1);
  const auto corner = [](int sx, int sy) {
    return Entry{[sx, sy](QPainter& p) {
                   Pointer(p);
                   const QPointF c(20, 20);
                   DoubleArrow(p, c, c + QPointF(sx * 9, sy * 9));
                 },
                 QPoint(1, 1)};
  };
  m[QStringLiteral("AmortiExpHaut")] = {[](QPainter& p) { Damping(p, true, true); }, kCentre};
  m[QStringLiteral("AmortiExpBas")] = {[](QPainter& p) { Damping(p, true, false); }, kCentre};
  m[QStringLiteral("AmortiLinHaut")] = {[](QPainter& p) { Damping(p, false, true); }, kCentre};
  m[QStringLiteral("AmortiLinBas")] = {[](QPainter& p) { Damping(p, false, false); }, kCentre};
  m[QStringLiteral("DeformBasDroit")] = corner(1, 1);
  m[QStringLiteral("DeformBasGauche")] = corner(-1, 1);
  m[QStringLiteral("DeformHautDroit")] = corner(1, -1);
  m[QStringLiteral("DeformHautGauche")] = corner(-1, -1);
  m[QStringLiteral("Deformer")] = {[](QPainter& p) {
                                     Pointer(p);
                                     QPainterPath s(QPointF(14, 28));
                                     s.cubicTo(18, 14, 24, 30, 30, 16);
                                     Stroke(p, s);
                                   },
                                   tip};
  m[QStringLiteral("SelDeformer")] = {[](QPainter& p) {
                                        Pointer(p);
                                        QPainterPath s(QPointF(14, 28));
                                        s.cubicTo(18, 14, 24, 30, 30, 16);
                                        Stroke(p, s);
                                        p.fillRect(QRect(20, 19, 5, 5), Qt::black);
                                      },
                                      tip};
  m[QStringLiteral("Deplacer")] = {[](QPainter& p) {
                                     Pointer(p);
                                     FourWay(p, QPoint(22, 22), 7);
                                   },
                                   tip};
  m[QStringLiteral("Detection")] = {[](QPainter& p) {
                                      Pointer(p);
                                      QFont f;
                                      f.setPixelSize(14);
                                      f.setBold(true);
                                      p.setFont(f);
                                      p.setPen(Qt::black);
                                      p.drawText(QRect(16, 14, 14, 16), Qt::AlignCenter,
                                                 QStringLiteral("?"));
                                    },
                                    tip};
  m[QStringLiteral("Dupliquer")] = {[](QPainter& p) {
                                      Pointer(p);
                                      p.setPen(QPen(Qt::black, 2));
                                      p.drawLine(18, 24, 28, 24);
                                      p.drawLine(23, 19, 23, 29);
                                    },
                                    tip};
  m[QStringLiteral("Echelle")] = {[](QPainter& p) {
                                    CrossHair(p, QPoint(8, 8), 7);
                                    p.setPen(QPen(Qt::black, 1));
                                    p.setBrush(QColor(255, 230, 120));
                                    p.drawRect(13, 20, 17, 7);
                                    for (int x = 15; x < 30; x += 3) p.drawLine(x, 20, x, 23);
                                  },
                                  QPoint(8, 8)};
  m[QStringLiteral("Gomme")] = {[](QPainter& p) { Eraser(p, false); }, QPoint(4, 22)};
  m[QStringLiteral("SelGomme")] = {[](QPainter& p) { Eraser(p, true); }, QPoint(4, 22)};
  m[QStringLiteral("Inverser")] = {[](QPainter& p) {
                                     Pointer(p);
                                     DoubleArrow(p, QPointF(14, 24), QPointF(30, 24));
                                   },
                                   tip};
  m[QStringLiteral("Marque")] = {[](QPainter& p) { CrossHair(p, kCentre); }, kCentre};
  for (int d = 0; d <= 9; ++d)
    m[QStringLiteral("Marque%1").arg(d)] = {[d](QPainter& p) {
                                              CrossHair(p, kCentre);
                                              Digit(p, d);
                                            },
                                            kCentre};
  m[QStringLiteral("Nesw")] = {[](QPainter& p) { DoubleArrow(p, QPointF(6, 24), QPointF(24, 6)); },
                               kCentre};
  m[QStringLiteral("Nwse")] = {[](QPainter& p) { DoubleArrow(p, QPointF(6, 6), QPointF(24, 24)); },
                               kCentre};
  m[QStringLiteral("Origine")] = {[](QPainter& p) {
                                    CrossHair(p, kCentre, 8);
                                    DoubleArrow(p, QPointF(19, 27), QPointF(30, 27));
                                    Stroke(p, Line(QPointF(19, 27), QPointF(19, 18)));
                                    Stroke(p, Head(QPointF(19, 17), 0, -1), true);
                                  },
                                  kCentre};
  m[QStringLiteral("Pan")] = {[](QPainter& p) { FourWay(p, kCentre, 12); }, kCentre};
  m[QStringLiteral("Pen")] = {[](QPainter& p) { Pencil(p); }, QPoint(1, 30)};
  for (int d = 0; d <= 9; ++d)
    m[QStringLiteral("Pen%1").arg(d)] = {[d](QPainter& p) {
                                           Pencil(p);
                                           Digit(p, d, QPoint(19, 19));
                                         },
                                         QPoint(1, 30)};
  m[QStringLiteral("Reticule")] = {[](QPainter& p) { CrossHair(p, kCentre, 15, 0); }, kCentre};
  m[QStringLiteral("Rotation")] = {[](QPainter& p) { CurvedArrow(p, kCentre); }, kCentre};
  m[QStringLiteral("SelRotation")] = {[](QPainter& p) {
                                        CurvedArrow(p, kCentre);
                                        p.fillRect(QRect(13, 13, 5, 5), Qt::black);
                                      },
                                      kCentre};
  m[QStringLiteral("Selection")] = {[](QPainter& p) { FourWay(p, kCentre, 12); }, kCentre};
  m[QStringLiteral("Zoom")] = {[](QPainter& p) { Magnifier(p, QStringLiteral("+")); },
                               QPoint(11, 11)};
  m[QStringLiteral("ZoomX")] = {[](QPainter& p) { Magnifier(p, QStringLiteral("x")); },
                                QPoint(11, 11)};
  m[QStringLiteral("ZoomY")] = {[](QPainter& p) { Magnifier(p, QStringLiteral("y")); },
                                QPoint(11, 11)};
  return m;
}

const std::map<QString, Entry>& Entries() {
  static const std::map<QString, Entry> entries = Build();
  return entries;
}

}  // namespace

const QStringList& CursorNames() {
  static const QStringList names = [] {
    QStringList n = {QStringLiteral("AmortiExpHaut"),   QStringLiteral("AmortiExpBas"),
                     QStringLiteral("AmortiLinHaut"),   QStringLiteral("AmortiLinBas"),
                     QStringLiteral("DeformBasDroit"),  QStringLiteral("DeformBasGauche"),
                     QStringLiteral("DeformHautDroit"), QStringLiteral("DeformHautGauche"),
                     QStringLiteral("Deformer"),        QStringLiteral("Deplacer"),
                     QStringLiteral("Detection"),       QStringLiteral("Dupliquer"),
                     QStringLiteral("Echelle"),         QStringLiteral("Gomme"),
                     QStringLiteral("Inverser"),        QStringLiteral("Marque")};
    for (int d = 0; d <= 9; ++d) n << QStringLiteral("Marque%1").arg(d);
    n << QStringLiteral("Nesw") << QStringLiteral("Nwse") << QStringLiteral("Origine")
      << QStringLiteral("Pan") << QStringLiteral("Pen");
    for (int d = 0; d <= 9; ++d) n << QStringLiteral("Pen%1").arg(d);
    n << QStringLiteral("Reticule") << QStringLiteral("Rotation") << QStringLiteral("SelDeformer")
      << QStringLiteral("Selection") << QStringLiteral("SelRotation") << QStringLiteral("SelGomme")
      << QStringLiteral("Zoom") << QStringLiteral("ZoomX") << QStringLiteral("ZoomY");
    return n;
  }();
  return names;
}

QImage CursorImage(const QString& name, QPoint* hotSpot) {
  const auto it = Entries().find(name);
  if (it == Entries().end()) return QImage();
  QImage img(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  it->second.paint(p);
  p.end();
  if (hotSpot) *hotSpot = it->second.hot;
  return img;
}

QCursor NamedCursor(const QString& name) {
  static std::map<QString, QCursor> cache;
  const auto it = cache.find(name);
  if (it != cache.end()) return it->second;
  QPoint hot;
  const QImage img = CursorImage(name, &hot);
  const QCursor c =
      img.isNull() ? QCursor(Qt::ArrowCursor) : QCursor(QPixmap::fromImage(img), hot.x(), hot.y());
  cache.emplace(name, c);
  return c;
}

}  // namespace mlb
