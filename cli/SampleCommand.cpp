// mlbtool make-sample: the bundled sample experiment. A ball thrown at 4 m/s
// and 60 degrees, filmed at 25 frames/s in front of a 1 m striped bar, drawn
// frame by frame with exact physics (PNG pictures the build encodes into a
// video), and the project that measures it: the scale on the bar, the origin
// at the launch point and one mark per frame on the ball's centre.
#include <cmath>
#include <numbers>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include "cli/Commands.h"
#include "measurement/UnitData.h"
#include "measurement/UnitMlb.h"
#include "measurement/UnitStaticView.h"

namespace mlb::cli {

namespace {

constexpr int kW = 640, kH = 480, kFrames = 30, kFlightFrames = 18;
constexpr double kPeriod = 0.04, kPxPerM = 300.0, kG = 9.81, kV0 = 4.0;
constexpr double kAngle = 60.0 * std::numbers::pi / 180.0;
constexpr double kX0 = 100.0, kFloor = 400.0, kBallRadius = 11.0;

// The ball's centre in pixels at time t (after landing it rests where it fell).
QPointF BallAt(double t) {
  const double flight = 2 * kV0 * std::sin(kAngle) / kG;
  t = std::min(t, flight);
  const double x = kV0 * std::cos(kAngle) * t, y = kV0 * std::sin(kAngle) * t - kG * t * t / 2;
  return {kX0 + x * kPxPerM, kFloor - kBallRadius - y * kPxPerM};
}

QImage Frame(int n) {
  QImage img(kW, kH, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient wall(0, 0, 0, kFloor);
  wall.setColorAt(0, QColor(214, 226, 236));
  wall.setColorAt(1, QColor(186, 200, 212));
  p.fillRect(QRectF(0, 0, kW, kFloor), wall);
  p.fillRect(QRectF(0, kFloor, kW, kH - kFloor), QColor(120, 98, 78));
  p.setPen(QPen(QColor(80, 64, 50), 2));
  p.drawLine(QPointF(0, kFloor), QPointF(kW, kFloor));
  // The 1 m bar: ten stripes of 10 cm lying on the floor's front edge.
  const double barTop = kFloor + 30;
  for (int k = 0; k < 10; ++k)
    p.fillRect(QRectF(kX0 + k * kPxPerM / 10, barTop, kPxPerM / 10, 10),
               k % 2 ? Qt::white : Qt::black);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(kX0, barTop, kPxPerM, 10));
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(16);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRectF(kX0, barTop + 14, kPxPerM, 20), Qt::AlignCenter, QStringLiteral("1 m"));
  // The ball, shaded.
  const QPointF c = BallAt(n * kPeriod);
  QRadialGradient shade(c + QPointF(-4, -4), kBallRadius * 1.4);
  shade.setColorAt(0, QColor(255, 190, 120));
  shade.setColorAt(1, QColor(220, 90, 20));
  p.setPen(QPen(QColor(150, 60, 10), 1));
  p.setBrush(shade);
  p.drawEllipse(c, kBallRadius, kBallRadius);
  return img;
}

}  // namespace

int RunMakeSample(const QStringList& args, QTextStream& out, QTextStream& err) {
  if (args.size() != 2) {
    err << "usage: mlbtool make-sample FRAMES_DIR PROJECT.mlb\n"
           "  writes frame0000.png ... into FRAMES_DIR and the project, whose video is\n"
           "  PROJECT with the extension .avi (encode the frames into it at 25 frames/s)\n";
    return 2;
  }
  const QString framesDir = args[0], projectPath = args[1];
  if (!QDir().mkpath(framesDir)) {
    err << framesDir << ": the folder cannot be made\n";
    return 1;
  }
  for (int n = 0; n < kFrames; ++n)
    if (!Frame(n).save(QDir(framesDir).filePath(
            QStringLiteral("frame%1.png").arg(n, 4, 10, QLatin1Char('0'))))) {
      err << framesDir << ": the frames cannot be written\n";
      return 1;
    }
  // The measurement of the ball on its flight.
  TStaticView view(kFrames, kW, kH);
  TData data(&view);
  data.Reset();
  data.SetRequiredDuration(kPeriod);
  TEchelle& scale = data.Echelle();
  scale.Points[skSingle] = {TPointD{kX0 / kW, (kFloor + 35) / kH},
                            TPointD{(kX0 + kPxPerM) / kW, (kFloor + 35) / kH}};
  scale.PointsNumber[skSingle] = 2;
  scale.SetLength(skSingle, 1.0);
  const QPointF launch = BallAt(0);
  data.RepereFixe().LeftPress(
      {static_cast<int>(std::lround(launch.x())), static_cast<int>(std::lround(launch.y()))});
  for (int n = 0; n <= kFlightFrames; ++n) {
    const QPointF c = BallAt(n * kPeriod);
    data.SetMarkAt(0, n, {c.x() / kW, c.y() / kH});
  }
  data.SetPointName(0, QStringLiteral("míček"));
  TProjectData project = CaptureProject(data);
  const QFileInfo info(projectPath);
  project.videoFileName =
      info.absolutePath() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".avi");
  project.imageNumber = 0;
  TMlb mlb;
  QString why;
  QFile::remove(projectPath);
  if (!mlb.Open(projectPath, &why)) {
    err << projectPath << ": " << why << "\n";
    return 1;
  }
  WriteProject(mlb.Ini(), project);
  if (!mlb.Flush(&why)) {
    err << projectPath << ": " << why << "\n";
    return 1;
  }
  out << "frames\t" << kFrames << "\nmarks\t" << data.MarkCount() << "\nvideo\t"
      << project.videoFileName << "\n";
  return 0;
}

}  // namespace mlb::cli
