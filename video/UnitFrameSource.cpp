#include "video/UnitFrameSource.h"

#include <algorithm>
#include <cmath>

#include <QFileInfo>
#include <QPainter>

#include "common/UnitText.h"

namespace mlb {

void TFrameSource::SetRate(double rate) {
  FrameRate = rate;
  FrameDuration = rate != 0 ? 1 / rate : 0;
  const double ms = std::round(1000 * FrameDuration);
  FrameDelay = static_cast<std::uint16_t>(std::clamp(ms, 1.0, 65535.0));
}

void TFrameSource::SetFileName(const QString& name) {
  FileName = name;
  Close();
  if (name.isEmpty()) return;
  if (Open(name)) {
    Opened = true;
    if (OnOpen) OnOpen(*this);
  } else {
    Release();
    Opened = false;
    FrameCount = 0;
  }
}

void TFrameSource::Close() {
  const bool wasOpen = Opened;
  Release();
  Opened = false;
  FrameCount = 0;
  Position = 0;
  CurrentTime = 0;
  if (wasOpen && OnClose) OnClose(*this);
}

void TFrameSource::SetPosition(int n) {
  if (FrameCount <= 0) return;
  Position = std::clamp(n, 0, FrameCount - 1);
  CurrentTime = std::clamp(Position * FrameDuration, 0.0, std::max(Duration, 0.0));
}

QImage TFrameSource::CurrentFrame() {
  if (!Opened || Drawing) return QImage();
  Drawing = true;
  QImage frame = Decode();
  Drawing = false;
  return frame;
}

bool TFrameSource::DrawFrame(QImage& target, const QRect& source, bool inverted) {
  const QImage frame = CurrentFrame();
  if (frame.isNull() || target.isNull()) return false;
  QPainter p(&target);
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  if (!inverted) {
    p.drawImage(target.rect(), frame, source);
  } else {
    QImage part = frame.copy(source.intersected(frame.rect()));
    part.invertPixels();
    p.drawImage(target.rect(), part);
  }
  return true;
}

// ---------------------------------------------------------------- the set

TFrameSources::TFrameSources(std::unique_ptr<TFrameSource> vfw, std::unique_ptr<TFrameSource> ds,
                             std::unique_ptr<TFrameSource> ffmpeg,
                             std::function<QString(const QString&)> comment)
    : sources_{std::move(vfw), std::move(ds), std::move(ffmpeg)}, comment_(std::move(comment)) {}

TFramework TFrameSources::StartFramework(const QString& path, TFramework previous) const {
  TFramework f = previous;
  const QString ext = QFileInfo(path).suffix().toLower();
  if (ext == QLatin1String("avi"))
    f = fwVfw;
  else if (ext == QLatin1String("mpg") || ext == QLatin1String("mpeg") ||
           ext == QLatin1String("wmv"))
    f = fwDS;
  else if (ext == QLatin1String("mov"))
    f = fwFFMpeg;
  if (comment_ && SameText(comment_(path), QLatin1String(kFFMpegComment))) f = fwFFMpeg;
  return f;
}

TFramework TFrameSources::Open(const QString& path, TFramework previous) {
  if (path.isEmpty()) {
    for (auto& s : sources_)
      if (s) s->SetFileName(QString());
    return current_;
  }
  current_ = StartFramework(path, previous);
  for (int f = current_; f <= fwFFMpeg; ++f) {
    current_ = static_cast<TFramework>(f);
    if (!sources_[f]) continue;
    sources_[f]->SetFileName(path);
    if (sources_[f]->Opened) return current_;
  }
  return current_;
}

bool TFrameSources::OpenWith(const QString& path, TFramework framework) {
  current_ = framework;
  if (!sources_[framework]) return false;
  sources_[framework]->SetFileName(path);
  return sources_[framework]->Opened;
}

QString FrameworkName(TFramework f) {
  switch (f) {
    case fwVfw:
      return QStringLiteral("vfw");
    case fwDS:
      return QStringLiteral("ds");
    default:
      return QStringLiteral("ffmpeg");
  }
}

bool FrameworkFromName(const QString& name, TFramework& f) {
  for (TFramework c : {fwVfw, fwDS, fwFFMpeg})
    if (name == FrameworkName(c)) {
      f = c;
      return true;
    }
  return false;
}

}  // namespace mlb
