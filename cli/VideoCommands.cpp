// mlbtool probe / frame / frames: the frame sources without a window.
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>

#include "backends/ffmpeg/UnitFFMpegPlay.h"
#include "backends/gstreamer/UnitDSPlay.h"
#include "backends/vfw/UnitVfwPlay.h"
#include "cli/Commands.h"
#include "common/UnitNumberFormat.h"
#include "video/UnitFrameSource.h"

namespace mlb::cli {

namespace {

// The GStreamer source counts frames from the duration and the nominal rate,
// which is wrong for variable-rate and some ASF files: it serves only when
// asked for by name until it counts exactly; the chain is vfw -> ffmpeg.
std::unique_ptr<TFrameSources> MakeSources(bool withDs = false) {
  return std::make_unique<TFrameSources>(
      std::make_unique<TVfwPlay>(), withDs ? std::make_unique<TDSPlay>() : nullptr,
      std::make_unique<TFFMpegPlay>(), [](const QString& f) { return TFFMpegPlay::GetComment(f); });
}

// Opens with the chain, or with the framework asked for; prints the
// program's list of likely causes on failure.
TFrameSource* OpenVideo(TFrameSources& sources, const QString& path, const QString& framework,
                        QTextStream& err) {
  bool opened;
  if (!framework.isEmpty()) {
    TFramework f;
    if (!FrameworkFromName(framework, f)) {
      err << "mlbtool: unknown framework \"" << framework << "\" (vfw, ds, ffmpeg)\n";
      return nullptr;
    }
    if (!sources.HasSource(f)) {
      err << "mlbtool: the framework " << framework << " is not available in this build\n";
      return nullptr;
    }
    opened = sources.OpenWith(path, f);
  } else {
    sources.Open(path, fwVfw);
    opened = sources.Current().Opened;
  }
  if (!opened) {
    err << path << "\n\nNení možné otevřít videosoubor. Možné problémy a jejich řešení :\n\n"
        << "- soubor je poškozený ...\n"
        << "- vás počítač nemá odpovídající kodek (nahrajte a instalujte « K-Lite Codec Pack "
           "(základní) »).\n";
    return nullptr;
  }
  return &sources.Current();
}

// Splits "--framework NAME" off the arguments.
QString TakeFramework(QStringList& args) {
  const int i = args.indexOf(QStringLiteral("--framework"));
  if (i < 0 || i + 1 >= args.size()) return QString();
  const QString f = args[i + 1];
  args.remove(i, 2);
  return f;
}

}  // namespace

int RunProbe(QStringList args, QTextStream& out, QTextStream& err) {
  const QString framework = TakeFramework(args);
  if (args.size() != 1) {
    err << "usage: mlbtool probe FILE [--framework vfw|ds|ffmpeg]\n";
    return 2;
  }
  auto sources = MakeSources(framework == QLatin1String("ds"));
  TFrameSource* s = OpenVideo(*sources, args[0], framework, err);
  if (!s) return 1;
  out << "framework\t" << FrameworkName(sources->CurrentFramework()) << "\n";
  out << "frames\t" << s->FrameCount << "\n";
  out << "size\t" << s->FrameWidth << "x" << s->FrameHeight << "\n";
  out << "rate\t" << FormatGeneral(s->FrameRate, 10, 0) << "\n";
  out << "frame delay (ms)\t" << s->FrameDelay << "\n";
  out << "duration (s)\t" << FormatGeneral(s->Duration, 10, 0) << "\n";
  out << "comment\t" << TFFMpegPlay::GetComment(args[0]) << "\n";
  return 0;
}

int RunFrame(QStringList args, QTextStream& out, QTextStream& err) {
  const QString framework = TakeFramework(args);
  bool ok = false;
  const int n = args.size() == 3 ? args[1].toInt(&ok) : 0;
  if (args.size() != 3 || !ok) {
    err << "usage: mlbtool frame FILE N OUT.png [--framework vfw|ds|ffmpeg]\n";
    return 2;
  }
  auto sources = MakeSources(framework == QLatin1String("ds"));
  TFrameSource* s = OpenVideo(*sources, args[0], framework, err);
  if (!s) return 1;
  s->SetPosition(n);
  const QImage img = s->CurrentFrame();
  if (img.isNull() || !img.save(args[2])) {
    err << "mlbtool frame: frame " << n << " could not be "
        << (img.isNull() ? "decoded" : "written") << "\n";
    return 1;
  }
  out << "frame " << s->Position << " of " << s->FrameCount << " written to " << args[2] << "\n";
  return 0;
}

int RunFrames(QStringList args, QTextStream& out, QTextStream& err) {
  const QString framework = TakeFramework(args);
  if (args.size() != 1) {
    err << "usage: mlbtool frames FILE [--framework vfw|ds|ffmpeg]\n";
    return 2;
  }
  auto sources = MakeSources(framework == QLatin1String("ds"));
  TFrameSource* s = OpenVideo(*sources, args[0], framework, err);
  if (!s) return 1;
  QElapsedTimer timer;
  timer.start();
  int failed = 0;
  for (int n = 0; n < s->FrameCount; ++n) {
    s->SetPosition(n);
    if (s->CurrentFrame().isNull()) ++failed;
  }
  const double seconds = timer.nsecsElapsed() / 1e9;
  out << "frames\t" << s->FrameCount << "\n";
  out << "failed\t" << failed << "\n";
  out << "seconds\t" << FormatGeneral(seconds, 4, 0) << "\n";
  out << "frames per second\t" << FormatGeneral(seconds > 0 ? s->FrameCount / seconds : 0, 4, 0)
      << "\n";
  return failed == 0 ? 0 : 1;
}

}  // namespace mlb::cli
