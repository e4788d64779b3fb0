#include "resources/UnitIcons.h"

#include <cmath>
#include <functional>
#include <map>

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace mlb {

namespace {

// Drawn on a 32 x 32 grid and scaled.
const QColor kInk(40, 44, 52);
const QColor kAccent(220, 60, 40);
const QColor kBlue(40, 100, 200);

QPen Ink(double w = 2) {
  return QPen(kInk, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Arrow(QPainter& p, QPointF a, QPointF b, const QColor& c, double w = 2) {
  p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(a, b);
  const double l = std::hypot(b.x() - a.x(), b.y() - a.y());
  const QPointF d = (b - a) / l, n(-d.y(), d.x());
  p.setBrush(c);
  p.drawPolygon(QPolygonF({b, b - d * 6 + n * 3.5, b - d * 6 - n * 3.5}));
  p.setBrush(Qt::NoBrush);
}

void Cross(QPainter& p, QPointF c, const QColor& col, double r = 3.5) {
  p.setPen(QPen(col, 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
  p.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
}

void Ruler(QPainter& p, QRectF r, bool vertical) {
  p.setPen(Ink(1.5));
  p.setBrush(QColor(250, 215, 90));
  p.drawRect(r);
  p.setBrush(Qt::NoBrush);
  for (int k = 1; k < 6; ++k) {
    const double t = k / 6.0;
    const double len = k % 3 == 0 ? 0.55 : 0.35;
    if (vertical)
      p.drawLine(QPointF(r.left(), r.top() + t * r.height()),
                 QPointF(r.left() + len * r.width(), r.top() + t * r.height()));
    else
      p.drawLine(QPointF(r.left() + t * r.width(), r.top()),
                 QPointF(r.left() + t * r.width(), r.top() + len * r.height()));
  }
}

void Magnifier(QPainter& p) {
  p.setPen(Ink(2.5));
  p.setBrush(QColor(210, 230, 250));
  p.drawEllipse(QPointF(13, 13), 8, 8);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kInk, 4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(19, 19), QPointF(27, 27));
}

void Axes(QPainter& p, QPointF o, double len) {
  Arrow(p, o, o + QPointF(len, 0), kBlue);
  Arrow(p, o, o + QPointF(0, -len), kBlue);
}

using Painter = std::function<void(QPainter&)>;

const std::map<QString, Painter>& Painters() {
  static const std::map<QString, Painter> m = {
      {QStringLiteral("ModeRepereFixe"),
       [](QPainter& p) {
         Axes(p, QPointF(6, 26), 22);
         Cross(p, QPointF(14, 17), kAccent);
         Cross(p, QPointF(21, 10), kAccent);
       }},
      {QStringLiteral("ModeTransparent"),
       [](QPainter& p) {
         p.setPen(QPen(kBlue, 2));
         p.setBrush(QColor(40, 100, 200, 40));
         p.drawRect(QRectF(4, 6, 24, 20));
         p.drawLine(QPointF(4, 16), QPointF(28, 16));
         p.drawLine(QPointF(16, 6), QPointF(16, 26));
         Cross(p, QPointF(22, 11), kAccent);
       }},
      {QStringLiteral("Zoom"), [](QPainter& p) { Magnifier(p); }},
      {QStringLiteral("Pan"),
       [](QPainter& p) {
         Arrow(p, QPointF(16, 16), QPointF(16, 3), kInk);
         Arrow(p, QPointF(16, 16), QPointF(16, 29), kInk);
         Arrow(p, QPointF(16, 16), QPointF(3, 16), kInk);
         Arrow(p, QPointF(16, 16), QPointF(29, 16), kInk);
       }},
      {QStringLiteral("Echelle"),
       [](QPainter& p) {
         p.save();
         p.translate(16, 16);
         p.rotate(-35);
         Ruler(p, QRectF(-14, -4, 28, 8), false);
         p.restore();
       }},
      {QStringLiteral("EchelleHoriz"), [](QPainter& p) { Ruler(p, QRectF(2, 11, 28, 10), false); }},
      {QStringLiteral("EchelleVert"), [](QPainter& p) { Ruler(p, QRectF(11, 2, 10, 28), true); }},
      {QStringLiteral("Marque"),
       [](QPainter& p) {
         p.setPen(QPen(kInk, 1, Qt::DashLine));
         QPainterPath path(QPointF(4, 27));
         path.quadTo(QPointF(16, -6), QPointF(28, 27));
         p.drawPath(path);
         Cross(p, QPointF(7, 19), kAccent);
         Cross(p, QPointF(16, 11), kAccent);
         Cross(p, QPointF(25, 19), kAccent);
       }},
      {QStringLiteral("Origine"),
       [](QPainter& p) {
         Axes(p, QPointF(8, 24), 20);
         p.setPen(QPen(kAccent, 2));
         p.drawEllipse(QPointF(8, 24), 3.5, 3.5);
       }},
      {QStringLiteral("Tsp"),
       [](QPainter& p) {
         p.setPen(QPen(kBlue, 2));
         p.setBrush(QColor(40, 100, 200, 50));
         p.drawRect(QRectF(3, 8, 20, 16));
         p.setBrush(QColor(40, 100, 200, 90));
         p.drawRect(QRectF(9, 4, 20, 16));
       }},
      {QStringLiteral("Deplacer"),
       [](QPainter& p) {
         Cross(p, QPointF(10, 10), kAccent);
         Arrow(p, QPointF(12, 12), QPointF(27, 27), kInk);
       }},
      {QStringLiteral("Effacer"),
       [](QPainter& p) {
         p.save();
         p.translate(16, 16);
         p.rotate(-40);
         p.setPen(Ink(1.5));
         p.setBrush(QColor(240, 150, 160));
         p.drawRoundedRect(QRectF(-12, -6, 24, 12), 2, 2);
         p.setBrush(QColor(255, 255, 255));
         p.drawRoundedRect(QRectF(-12, -6, 9, 12), 2, 2);
         p.restore();
       }},
      {QStringLiteral("Tableau"),
       [](QPainter& p) {
         p.setPen(Ink(1.5));
         p.setBrush(Qt::white);
         p.drawRect(QRectF(4, 5, 24, 22));
         p.fillRect(QRectF(4.75, 5.75, 22.5, 5), QColor(200, 215, 240));
         for (int k = 1; k < 4; ++k) p.drawLine(QPointF(4, 5 + 5.5 * k), QPointF(28, 5 + 5.5 * k));
         p.drawLine(QPointF(12, 5), QPointF(12, 27));
         p.drawLine(QPointF(20, 5), QPointF(20, 27));
       }},
      {QStringLiteral("Temps"),
       [](QPainter& p) {
         Arrow(p, QPointF(4, 28), QPointF(30, 28), kInk, 1.5);
         Arrow(p, QPointF(4, 28), QPointF(4, 2), kInk, 1.5);
         p.setPen(QPen(kAccent, 2));
         QPainterPath s(QPointF(5, 20));
         s.cubicTo(QPointF(11, 4), QPointF(17, 4), QPointF(20, 16));
         s.quadTo(QPointF(24, 26), QPointF(28, 14));
         p.drawPath(s);
       }},
      {QStringLiteral("Referentiel"),
       [](QPainter& p) {
         Axes(p, QPointF(4, 28), 25);
         p.setPen(Qt::NoPen);
         p.setBrush(kAccent);
         for (int k = 0; k <= 6; ++k) {
           const double t = k / 6.0;
           p.drawEllipse(QPointF(7 + 20 * t, 25 - 40 * t + 38 * t * t), 1.8, 1.8);
         }
       }},
      {QStringLiteral("Vecteur"),
       [](QPainter& p) {
         Arrow(p, QPointF(5, 26), QPointF(16, 8), kAccent);
         Arrow(p, QPointF(14, 28), QPointF(29, 20), kBlue);
       }},
      {QStringLiteral("Formule"),
       [](QPainter& p) {
         QFont f(QStringLiteral("Serif"));
         f.setItalic(true);
         f.setBold(true);
         f.setPixelSize(17);
         p.setFont(f);
         p.setPen(kInk);
         p.drawText(QRectF(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("f(x)"));
       }},
      {QStringLiteral("Lecture"),
       [](QPainter& p) {
         p.setPen(Qt::NoPen);
         p.setBrush(QColor(30, 140, 60));
         p.drawPolygon(QPolygonF({QPointF(10, 6), QPointF(26, 16), QPointF(10, 26)}));
       }},
      {QStringLiteral("Pause"), [](QPainter& p) { p.fillRect(QRectF(9, 8, 14, 16), kInk); }},
      {QStringLiteral("Retour"),
       [](QPainter& p) {
         p.setPen(Qt::NoPen);
         p.setBrush(kInk);
         p.drawRect(QRectF(6, 8, 3, 16));
         p.drawPolygon(QPolygonF({QPointF(25, 8), QPointF(11, 16), QPointF(25, 24)}));
       }},
      {QStringLiteral("Pred"),
       [](QPainter& p) {
         p.setPen(Qt::NoPen);
         p.setBrush(kInk);
         p.drawPolygon(QPolygonF({QPointF(21, 8), QPointF(9, 16), QPointF(21, 24)}));
       }},
      {QStringLiteral("Succ"),
       [](QPainter& p) {
         p.setPen(Qt::NoPen);
         p.setBrush(kInk);
         p.drawPolygon(QPolygonF({QPointF(11, 8), QPointF(23, 16), QPointF(11, 24)}));
       }},
      {QStringLiteral("Avance"),
       [](QPainter& p) {
         p.setPen(Qt::NoPen);
         p.setBrush(kInk);
         p.drawPolygon(QPolygonF({QPointF(7, 8), QPointF(21, 16), QPointF(7, 24)}));
         p.drawRect(QRectF(23, 8, 3, 16));
       }},
  };
  return m;
}

}  // namespace

const QStringList& ButtonIconNames() {
  static const QStringList names = [] {
    QStringList n;
    for (const auto& [name, paint] : Painters()) n << name;
    return n;
  }();
  return names;
}

QImage ButtonImage(const QString& name, int size) {
  const auto it = Painters().find(name);
  if (it == Painters().end()) return QImage();
  QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 32.0, size / 32.0);
  it->second(p);
  return img;
}

QIcon ButtonIcon(const QString& name) {
  QIcon icon;
  for (int size : {16, 24, 32, 48}) {
    const QImage img = ButtonImage(name, size);
    if (!img.isNull()) icon.addPixmap(QPixmap::fromImage(img));
  }
  return icon;
}

}  // namespace mlb
