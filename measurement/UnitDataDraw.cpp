// Painting of the measurement over the picture: the scale, the fixed axes,
// the transparent overlay and the marks with their point numbers.
#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>
#include <utility>

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

#include "common/UnitGraphUtils.h"
#include "measurement/UnitData.h"

namespace mlb {

namespace {

constexpr std::array<int, 3> kArrowLength = {10, 15, 20};

QPointF F(TPoint p) {
  return QPointF(p.x, p.y);
}

// Unit vector from a to b; (1, 0) when they coincide.
QPointF Direction(QPointF a, QPointF b) {
  const QPointF d = b - a;
  const double len = std::hypot(d.x(), d.y());
  return len > 0 ? d / len : QPointF(1, 0);
}

// An arrowhead with its tip at `tip`, pointing along the unit vector `d`.
void ArrowHead(QPainter& p, QPointF tip, QPointF d, int length, bool filled) {
  const QPointF back = tip - d * length;
  const QPointF across(-d.y() * length / 3.0, d.x() * length / 3.0);
  if (filled) {
    p.drawPolygon(QPolygonF({tip, back + across, back - across}));
  } else {
    p.drawLine(tip, back + across);
    p.drawLine(tip, back - across);
  }
}

QFont LabelFont(std::uint8_t size) {
  QFont f(QStringLiteral("Arial"));
  f.setPointSize(size == 2 ? 24 : size == 1 ? 18 : 10);
  f.setBold(true);
  return f;
}

// Writes text centred on c, turned by `radians` (counter-clockwise on screen).
void Label(QPainter& p, QPointF c, const QString& text, double radians) {
  p.save();
  p.translate(c);
  p.rotate(-radians * 180.0 / 3.14159265358979323846);
  const QFontMetrics fm(p.font());
  p.drawText(QPointF(-fm.horizontalAdvance(text) / 2.0, (fm.ascent() - fm.descent()) / 2.0), text);
  p.restore();
}

}  // namespace

void TData::Draw(QPainter& p) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  if (tool_ == otEchelle) {
    DrawScale(p);
  } else if (TransparentMode()) {
    DrawOverlay(p);
    DrawStore(p, *tspStore_);
  } else {
    if (repereFixe_->OriginePointsNumber > 0) DrawFixedAxes(p);
    DrawStore(p, *fixedStore_);
  }
  p.restore();
}

void TData::DrawStore(QPainter& p, const TPolyContainer& store) {
  if (store.RubberBand) {
    const TRect& r = store.RubberBandRect;
    p.setPen(QPen(Qt::gray, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(QPoint(std::min(r.left, r.right), std::min(r.top, r.bottom)),
                     QPoint(std::max(r.left, r.right), std::max(r.top, r.bottom))));
  }
  const auto& marks = store.AllMarks();
  const int count = static_cast<int>(marks.size());
  const int first = store.MarksIsAllDrawn ? 0 : std::max(0, count - store.MarksNumberToDraw);
  const std::uint8_t size = ElementSize();
  const int b = size == 2 ? 7 : size == 1 ? 4 : 0;
  QFont numberFont(QStringLiteral("Arial"));
  numberFont.setPointSize(size == 2 ? 15 : size == 1 ? 12 : 10);
  p.setFont(numberFont);
  const QFontMetrics fm(numberFont);
  for (int i = first; i < count; ++i) {
    const TMarque* m = marks[static_cast<std::size_t>(i)];
    const TPoint s = m->ScreenPoint();
    const TColor colour = MarkColor(m->MarkOrderNumber);
    GraphUtils().DrawMark(p, QPoint(s.x, s.y), colour, size, m->MarkOrderNumber);
    if (store.MarksNumberPosition == 0 || !m->Container()) continue;
    const int number =
        m->Container()->MarksContainerMarkNumber() + (settings_.numberFromZero ? 0 : 1);
    const QPoint topLeft = store.MarksNumberPosition == 1 ? QPoint(s.x - b / 2 - 2, s.y + b + 4)
                                                          : QPoint(s.x + b + 8, s.y - b / 2 - 7);
    p.setPen(ToQColor(colour));
    p.drawText(topLeft + QPoint(0, fm.ascent()), QString::number(number));
  }
}

void TData::DrawScale(QPainter& p) {
  const TScaleKind kind = echelle_->ActiveKind;
  const int n = echelle_->PointsNumber[kind];
  if (n <= 0) return;
  const TPoint a = echelle_->ScreenPoint(kind, 0);
  TPoint b = n >= 2 ? echelle_->ScreenPoint(kind, 1) : pointer_;
  if (kind == skHoriz) b.y = a.y;
  if (kind == skVert) b.x = a.x;
  const QColor c = ToQColor(ElementColor);
  p.setPen(QPen(c, PenWidth(), Qt::SolidLine, Qt::FlatCap));
  p.setBrush(Qt::NoBrush);
  p.drawLine(F(a), F(b));
  const int len = kArrowLength[std::min<int>(ElementSize(), 2)];
  ArrowHead(p, F(a), Direction(F(b), F(a)), len, false);
  if (n >= 2) ArrowHead(p, F(b), Direction(F(a), F(b)), len, false);
}

void TData::DrawFixedAxes(QPainter& p) {
  const TRepereFixe& r = *repereFixe_;
  const QColor c = ToQColor(ElementColor);
  const int len = kArrowLength[std::min<int>(ElementSize(), 2)];
  p.setFont(LabelFont(ElementSize()));
  // Each axis from its plain end to its arrow end.
  const auto ends = [](const std::array<TPoint, 2>& e, bool direct) {
    return std::pair<QPointF, QPointF>(F(direct ? e[0] : e[1]), F(direct ? e[1] : e[0]));
  };
  const auto [xTail, xTip] = ends(r.XAxisEnds(), r.DirectXAxisDirection);
  const auto [yTail, yTip] = ends(r.YAxisEnds(), r.DirectYAxisDirection);
  const QPointF dx = Direction(xTail, xTip), dy = Direction(yTail, yTip);
  for (const auto& [tail, tip, d] : {std::tuple(xTail, xTip, dx), std::tuple(yTail, yTip, dy)}) {
    p.setPen(QPen(c, PenWidth(), Qt::SolidLine, Qt::FlatCap));
    p.drawLine(tail, tip);
    p.setPen(QPen(c, 1));
    p.setBrush(c);
    ArrowHead(p, tip, d, len, true);
  }
  // Labels beside the arrowheads, towards the other axis' positive side, so
  // they stay inside the picture.
  Label(p, xTip - dx * (len * 1.5) + dy * (len * 1.2), QStringLiteral("x"), r.XAxisAngle);
  Label(p, yTip - dy * (len * 1.5) + dx * (len * 1.2), QStringLiteral("y"), r.XAxisAngle);
}

void TData::DrawOverlay(QPainter& p) {
  const TTransparent& t = *transparent_;
  const TRect r = t.Rect();
  const QColor c = ToQColor(ElementColor);
  const int len = kArrowLength[std::min<int>(ElementSize(), 2)];
  p.setPen(QPen(c, PenWidth(), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.setBrush(Qt::NoBrush);
  const QRectF box(QPointF(std::min(r.left, r.right), std::min(r.top, r.bottom)),
                   QPointF(std::max(r.left, r.right), std::max(r.top, r.bottom)));
  p.drawRect(box);
  const double midY = box.center().y(), midX = box.center().x();
  p.drawLine(QPointF(box.left(), midY), QPointF(box.right(), midY));
  p.drawLine(QPointF(midX, box.top()), QPointF(midX, box.bottom()));
  p.setPen(QPen(c, 1));
  p.setBrush(c);
  p.setFont(LabelFont(ElementSize()));
  const bool dx = t.DirectXAxisDirection, dy = t.DirectYAxisDirection;
  const QPointF xTip(dx ? box.right() : box.left(), midY);
  const QPointF yTip(midX, dy ? box.top() : box.bottom());
  ArrowHead(p, xTip, QPointF(dx ? 1 : -1, 0), len, true);
  ArrowHead(p, yTip, QPointF(0, dy ? -1 : 1), len, true);
  Label(p, xTip + QPointF(dx ? -len : len, -1.2 * len), QStringLiteral("x"), 0);
  Label(p, yTip + QPointF(1.2 * len, dy ? len : -len), QStringLiteral("y"), 0);
}

}  // namespace mlb
