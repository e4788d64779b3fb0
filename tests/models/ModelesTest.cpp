#include <cmath>
#include <numbers>

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include "common/UnitNumberFormat.h"
#include "models/UnitModeles.h"

namespace mlb {
namespace {

constexpr double kPi = std::numbers::pi;

// A model on a 400 x 300 plot area at (50, 20) of its control.
std::unique_ptr<TMdl> Make(int kind, double xMin, double xMax, double yMin, double yMax) {
  auto m = CreateModel(kind);
  m->SetPlotRect(50, 20, 400, 300);
  m->SetRanges(xMin, xMax, yMin, yMax);
  return m;
}

template <class F>
void Points(int n, double x0, double step, F f, TDoubleDynArray& X, TDoubleDynArray& Y) {
  X.clear(), Y.clear();
  for (int i = 0; i < n; ++i) X.push_back(x0 + i * step), Y.push_back(f(x0 + i * step));
}

// Control point of a model point.
QPoint At(double t, double y, double xMin, double xMax, double yMin, double yMax) {
  return {50 + static_cast<int>(std::lround((t - xMin) * 400 / (xMax - xMin))),
          20 + 300 - static_cast<int>(std::lround((y - yMin) * 300 / (yMax - yMin)))};
}

TEST(Models, LinearFitsAndTheirTexts) {
  SetDecimalSeparator(QLatin1Char(','));
  TDoubleDynArray X, Y;
  Points(
      20, 0, 0.1, [](double t) { return 0.5 + 2 * t; }, X, Y);
  auto affine = Make(mkAffine, 0, 2, 0, 5);
  affine->SetData(X, Y);
  EXPECT_NEAR(affine->Param(0), 0.5, 1e-9);
  EXPECT_NEAR(affine->Param(1), 2.0, 1e-9);
  EXPECT_EQ(affine->EquationText(QStringLiteral("y"), QStringLiteral("x")),
            (QStringList{QStringLiteral("Model: y = r + b.x"), QStringLiteral("r = 0,500"),
                         QStringLiteral("b = 2,000")}));
  EXPECT_NEAR(affine->Rms(), 0.0, 1e-9);
  EXPECT_NEAR(affine->Correlation(), 1.0, 1e-9);
  const QStringList stats = affine->StatisticsText();
  ASSERT_EQ(stats.size(), 4);
  EXPECT_EQ(stats[0], QStringLiteral("Chyba ve směru osy y: "));
  EXPECT_TRUE(stats[3].startsWith(QStringLiteral("- korelační koeficient = 1")));

  auto constant = Make(mkConstant, 0, 2, 0, 5);
  constant->SetData(X, Y);
  EXPECT_NEAR(constant->Param(0), 2.4, 1e-9);
  EXPECT_EQ(constant->EquationText(QStringLiteral("v"), QStringLiteral("t")),
            (QStringList{QStringLiteral("Model: v = r"), QStringLiteral("r = 2,400")}));

  // Proportional: a ratio of means; mean abscissa 0 keeps the parameter.
  auto prop = Make(mkProportional, -1, 1, -5, 5);
  prop->SetData({1, 2, 3}, {2, 5, 5});
  EXPECT_NEAR(prop->Param(0), 2.0, 1e-9);
  prop->SetData({-1, 0, 1}, {1, 2, 3});
  EXPECT_NEAR(prop->Param(0), 2.0, 1e-9);
}

// A fit far from zero stays on the data: the intercept is kept within the
// band its handle can reach, not within a band around zero.
TEST(Models, AutomaticFitIsNotMovedOffTheData) {
  TDoubleDynArray X, Y;
  Points(
      30, 0, 0.04, [](double t) { return -0.80 + 0.001 * t; }, X, Y);
  auto line = Make(mkAffine, 0, 1.2, -0.82, -0.78);
  line->SetData(X, Y);
  EXPECT_NEAR(line->Param(0), -0.80, 1e-6);
  auto constant = Make(mkConstant, 0, 1.2, -0.82, -0.78);
  constant->SetData(X, Y);
  EXPECT_NEAR(constant->Param(0), -0.7994, 1e-4);
  TDoubleDynArray Yp;
  for (double t : X) Yp.push_back(1000 + 3 * t - 2 * t * t);
  auto parab = Make(mkParabola, 0, 1.2, 999, 1002);
  parab->SetData(X, Yp);
  EXPECT_NEAR(parab->Param(0), 1000, 1e-6);
  EXPECT_NEAR(parab->Param(1), 3, 1e-6);
  EXPECT_NEAR(parab->Param(2), -2, 1e-6);
}

TEST(Models, HandlesAreTheInverseOfTheParameters) {
  struct Case {
    int kind;
    TDoubleDynArray params;
  };
  const Case cases[] = {
      {mkAffine, {0.3, -1.5}},
      {mkConstant, {0.7}},
      {mkProportional, {1.25}},
      {mkExponential, {0.2, 1.5, -0.8}},
      {mkParabola, {0.1, 2.0, -1.2}},
      {mkSine, {0.5, 0.4, 3.0, 1.0}},
      {mkSineExp, {0.5, 0.4, 3.0, 1.0, -0.3}},
      {mkSineLin, {0.5, 0.4, 3.0, 1.0, -0.1}},
  };
  for (const Case& c : cases) {
    auto m = Make(c.kind, 0.5, 4, -1, 2);
    for (std::size_t i = 0; i < c.params.size(); ++i) m->SetParam(static_cast<int>(i), c.params[i]);
    // Nudge a handle and back: the parameters come back unchanged.
    m->SetHandle(0, m->Handle(0) + 7);
    m->SetHandle(0, m->Handle(0) - 7);
    for (std::size_t i = 0; i < c.params.size(); ++i)
      EXPECT_NEAR(m->Param(static_cast<int>(i)), c.params[i], 1e-9)
          << "kind " << c.kind << " param " << i;
  }
}

TEST(Models, SinesFitAndDrawnCurveIsHit) {
  TDoubleDynArray X, Y;
  Points(
      100, 0, 0.05, [](double t) { return 1 + 0.5 * std::sin(4 * t + 0.3); }, X, Y);
  auto sine = Make(mkSine, 0, 5, 0, 2);
  int changes = 0;
  sine->OnChange = [&](TMdl&) { ++changes; };
  sine->SetData(X, Y);
  EXPECT_GT(changes, 0);
  EXPECT_NEAR(sine->Param(1), 0.5, 0.01);
  EXPECT_NEAR(sine->Param(2), 4.0, 0.01);
  EXPECT_LT(sine->Rms(), 0.01);
  // The drawn curve: on the image and hit at a point of it.
  QImage img(500, 400, QImage::Format_RGB32);
  img.fill(Qt::white);
  sine->SetColour(0x0000FF);
  {
    QPainter p(&img);
    sine->Draw(p);
  }
  const double t = 1.0, y = sine->Value(t);
  const QPoint on = At(t, y, 0, 5, 0, 2);
  int red = 0;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (img.pixel(on.x() + dx, on.y() + dy) == qRgb(255, 0, 0)) ++red;
  EXPECT_GT(red, 0);
  EXPECT_GE(sine->HitTest(on), 0);
  EXPECT_EQ(sine->HitTest(on + QPoint(0, 40)), -1);

  // A constant series: amplitude 0, and the phase moved half a turn.
  TDoubleDynArray cy(X.size(), 1.0);
  auto flat = Make(mkSine, 0, 5, 0, 2);
  flat->SetData(X, cy);
  EXPECT_NEAR(flat->Param(1), 0.0, 1e-9);
  EXPECT_NEAR(flat->Param(0), 1.0, 1e-9);
}

TEST(Models, DampedSineWithoutDampingIsThePlainSine) {
  auto plain = Make(mkSine, 0, 5, -1, 1);
  auto lin = Make(mkSineLin, 0, 5, -1, 1);
  auto ex = Make(mkSineExp, 0, 5, -1, 1);
  for (auto* m : {plain.get(), lin.get(), ex.get()}) {
    m->SetParam(0, 0.1), m->SetParam(1, 0.6), m->SetParam(2, 2.0), m->SetParam(3, 0.4);
  }
  for (double t : {0.0, 0.7, 2.5, 4.9}) {
    EXPECT_NEAR(lin->Value(t), plain->Value(t), 1e-12);
    EXPECT_NEAR(ex->Value(t), plain->Value(t), 1e-12);
  }
  EXPECT_EQ(lin->EquationText(QStringLiteral("y"), QStringLiteral("t"))[0],
            QStringLiteral("Model: y\" + r.y + b.Sign(y') = c"));
  EXPECT_EQ(lin->EquationText(QStringLiteral("y"), QStringLiteral("t")).size(), 6);
  // Statistics follow the stopped curve that is drawn.
  lin->SetParam(4, -0.15);
  TDoubleDynArray X, Y;
  Points(
      60, 0, 0.1, [&](double t) { return lin->Value(t); }, X, Y);
  lin->SetData(X, Y);
  lin->SetParam(0, 0.1), lin->SetParam(1, 0.6), lin->SetParam(2, 2.0), lin->SetParam(3, 0.4),
      lin->SetParam(4, -0.15);
  EXPECT_NEAR(lin->Rms(), 0.0, 1e-12);
}

TEST(Models, MouseAdjustments) {
  // Amplitude: dragging the crest region down by 10 px lowers the crest by
  // 10 px and keeps the trough.
  auto sine = Make(mkSine, 0, 4, -2, 2);
  sine->SetParam(0, 0), sine->SetParam(1, 1), sine->SetParam(2, kPi / 2), sine->SetParam(3, 0);
  const double crest = sine->Handle(0) + sine->Handle(1),
               trough = sine->Handle(0) - sine->Handle(1);
  // Octant 1 or 2 lies around the crest at t = 1 (phase pi/2).
  const QPoint nearCrest = At(1.2, sine->Value(1.2), 0, 4, -2, 2);
  ASSERT_EQ(sine->BeginAdjust(nearCrest), TAdjustMode::Amplitude);
  sine->AdjustTo(nearCrest + QPoint(0, 10));
  sine->EndAdjust();
  EXPECT_NEAR(sine->Handle(0) + sine->Handle(1), crest - 10, 1e-9);
  EXPECT_NEAR(sine->Handle(0) - sine->Handle(1), trough, 1e-9);

  // Period: 50 px with Alt changes the width by 1, with Ctrl by 10, else 100.
  for (auto [keys, expected] :
       {std::pair{TAdjustKeys{true, false}, 1.0}, std::pair{TAdjustKeys{false, true}, 10.0},
        std::pair{TAdjustKeys{false, false}, 100.0}}) {
    auto s = Make(mkSine, 0, 4, -2, 2);
    s->SetParam(0, 0), s->SetParam(1, 1), s->SetParam(2, kPi / 2), s->SetParam(3, 0);
    const QPoint rising = At(0.15, s->Value(0.15), 0, 4, -2, 2);  // octant 0
    ASSERT_EQ(s->BeginAdjust(rising), TAdjustMode::Period);
    const double w0 = s->Handle(2), width0 = s->PeriodWidth();
    s->AdjustTo(rising + QPoint(50, 0), keys);
    ASSERT_NE(s->Handle(2), w0);
    EXPECT_NEAR(std::abs(s->PeriodWidth() - width0), expected, 1e-9);
  }

  // A proportional line pressed away from it does not move.
  auto prop = Make(mkProportional, 0, 4, 0, 8);
  prop->SetParam(0, 1.0);
  const double h0 = prop->Handle(0), h1 = prop->Handle(1);
  ASSERT_EQ(prop->BeginAdjust(At(3, 7, 0, 4, 0, 8)), TAdjustMode::None);
  prop->AdjustTo(At(3.5, 7.5, 0, 4, 0, 8));
  EXPECT_EQ(prop->Handle(0), h0);
  EXPECT_EQ(prop->Handle(1), h1);
  // ... and pressed on it, it turns about the origin.
  ASSERT_EQ(prop->BeginAdjust(At(2, 2, 0, 4, 0, 8)), TAdjustMode::Turn);
  prop->AdjustTo(At(2, 4, 0, 4, 0, 8));
  prop->EndAdjust();
  EXPECT_NEAR(prop->Param(0), 2.0, 0.05);

  // The constant translates wherever it is pressed.
  auto constant = Make(mkConstant, 0, 4, 0, 3);
  constant->SetParam(0, 1.0);
  ASSERT_EQ(constant->BeginAdjust(At(1, 2.5, 0, 4, 0, 3)), TAdjustMode::Translate);
  constant->AdjustTo(At(1, 2.5, 0, 4, 0, 3) + QPoint(0, -30));   // 30 px = 0.3 up
  constant->AdjustTo(At(1, 2.5, 0, 4, 0, 3) + QPoint(0, -100));  // outside the plot: ignored
  constant->EndAdjust();
  EXPECT_NEAR(constant->Param(0), 1.3, 1e-9);

  // A parabola dragged at its vertex's height does not change; one without
  // curvature has no vertex and ignores the reshape.
  auto parab = Make(mkParabola, -2, 2, 0, 4);
  parab->SetParam(0, 1), parab->SetParam(1, 0), parab->SetParam(2, 1);
  const double p0 = parab->Handle(0);
  parab->Reshape(300, std::round(parab->Handle(2) -
                                 parab->Handle(1) * parab->Handle(1) / (4 * parab->Handle(0))));
  EXPECT_EQ(parab->Handle(0), p0);
  parab->SetParam(2, 0);
  const double q1 = parab->Handle(1);
  parab->Reshape(300, 200);
  EXPECT_EQ(parab->Handle(1), q1);
}

}  // namespace
}  // namespace mlb

namespace mlb {
namespace {

TEST(Models, ParabolaOfAFreeFall) {
  TDoubleDynArray X, Y;
  for (int i = 0; i < 25; ++i) {
    const double t = i * 0.02;
    X.push_back(t);
    Y.push_back(1.2 - 9.81 / 2 * t * t);
  }
  auto m = CreateModel(mkParabola);
  m->SetPlotRect(0, 0, 400, 300);
  m->SetRanges(0, 0.5, -0.1, 1.3);
  m->SetData(X, Y);
  EXPECT_NEAR(m->Param(0), 1.2, 1e-9);
  EXPECT_NEAR(m->Param(1), 0.0, 1e-9);
  EXPECT_NEAR(2 * m->Param(2), -9.81, 1e-9);
  SetDecimalSeparator(QLatin1Char(','));
  EXPECT_EQ(m->EquationText(QStringLiteral("y"), QStringLiteral("t"))[3],
            QStringLiteral("c = -4,905"));
}

}  // namespace
}  // namespace mlb
