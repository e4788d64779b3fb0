// mlbtool demo: a simulated throw pointed through the measurement data.
#include <cmath>
#include <numbers>

#include "cli/Commands.h"
#include "common/UnitNumberFormat.h"
#include "kinematics/UnitResultats.h"
#include "measurement/UnitData.h"
#include "measurement/UnitStaticView.h"

namespace mlb::cli {

namespace {

bool ParseSmooth(const QString& s, int& flags) {
  if (s == QLatin1String("none"))
    flags = 0;
  else if (s == QLatin1String("speed"))
    flags = smoothSpeed;
  else if (s == QLatin1String("acceleration"))
    flags = smoothAcceleration;
  else if (s == QLatin1String("both"))
    flags = smoothSpeed | smoothAcceleration;
  else
    return false;
  return true;
}

}  // namespace

int RunDemo(const QStringList& args, QTextStream& out, QTextStream& err) {
  int flags = smoothSpeed | smoothAcceleration;
  for (int i = 0; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--smooth") && i + 1 < args.size() &&
        ParseSmooth(args[i + 1], flags)) {
      ++i;
      continue;
    }
    err << "mlbtool demo: unexpected argument \"" << args[i] << "\"\n";
    return 2;
  }

  // A 640 x 480 video at 25 frames/s; 1 m is 400 pixels.
  constexpr int kFrames = 40, kW = 640, kH = 480;
  constexpr double kPeriod = 0.04, kPixelsPerMetre = 400.0, kG = 9.81;
  TStaticView view(kFrames, kW, kH);
  TData data(&view);
  TResCalc results(data);
  view.onInvalidate = [&](TRefChoice which) { results.Invalidate(which); };
  data.Reset();
  data.SetRequiredDuration(kPeriod);

  // Scale: a 1 m segment of 400 pixels; origin at the launch point.
  data.SetTool(otEchelle);
  data.Echelle().LeftPress({100, 440});
  data.Echelle().LeftPress({500, 440});
  data.Echelle().SetLength(skSingle, 1.0);
  data.SetTool(otOrigine);
  data.RepereFixe().LeftPress({100, 440});
  data.SetTool(otMarque);

  const double v0 = 4.0, angle = 60.0 * std::numbers::pi / 180.0;
  for (int f = 0; f < 15; ++f) {
    const double t = f * kPeriod;
    const double x = v0 * std::cos(angle) * t, y = v0 * std::sin(angle) * t - kG * t * t / 2;
    view.current = f;
    data.PlaceMark({static_cast<int>(std::lround(100 + x * kPixelsPerMetre)),
                    static_cast<int>(std::lround(440 - y * kPixelsPerMetre))});
  }

  if (const int s = results.BuildPositions(rcCurrent)) {
    err << "mlbtool demo: the positions could not be built (status " << s << ")\n";
    return 1;
  }
  if (!results.Compute(rcCurrent, flags)) {
    err << "mlbtool demo: the velocities could not be computed\n";
    return 1;
  }
  const int codes[] = {grTemps, grX, grY, grVx, grVy, grV, grAx, grAy, grA};
  for (int c : codes) out << (c == grTemps ? "" : "\t") << QuantitySymbol(c);
  out << "\n";
  for (int c : codes) out << (c == grTemps ? "" : "\t") << QuantityUnit(c);
  out << "\n";
  for (int j = 0; j < results.SampleCount(); ++j) {
    for (int c : codes)
      out << (c == grTemps ? "" : "\t") << FormatGeneral(results.ValueAt(avAxes, 0, c, j), 4, 0);
    out << "\n";
  }
  return 0;
}

}  // namespace mlb::cli
