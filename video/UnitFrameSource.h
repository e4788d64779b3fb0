// Frame sources: one decoding back end each, delivering any frame of a video
// file by number. The video view owns one source per framework and opens a
// file with the chain vfw -> ds -> ffmpeg.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include <QImage>
#include <QRect>
#include <QString>

#include "common/UnitTypes.h"

namespace mlb {

// The comment that marks a video written by this program's MPEG-4 writer.
inline const char* const kFFMpegComment = "Motilab video FFMpeg MPEG4 codec";

class TFrameSource {
 public:
  virtual ~TFrameSource() = default;

  QString FileName;
  bool Opened = false;
  bool Drawing = false;
  int FrameCount = 0;
  int FrameWidth = 0;
  int FrameHeight = 0;
  int Position = 0;
  std::uint16_t FrameDelay = 0;  // ms per frame, 1..65535
  double FrameDuration = 0;      // s per frame
  double FrameRate = 0;          // frames per second
  double Duration = 0;           // s
  double CurrentTime = 0;        // s
  std::function<void(TFrameSource&)> OnOpen, OnClose;

  virtual TFramework Framework() const = 0;
  // Stores the name, closes, then tries to open; the outcome is `Opened`.
  void SetFileName(const QString& name);
  virtual void Close();
  // Stretches the source rectangle of the current frame over the whole
  // target (nearest neighbour, so magnified pixels stay blocks); inverted
  // colours on request. False when closed, busy or the frame cannot be decoded.
  bool DrawFrame(QImage& target, const QRect& source, bool inverted = false);
  // The current frame at full size (RGB32); null when it cannot be decoded.
  QImage CurrentFrame();
  virtual void SetPosition(int n);

 protected:
  virtual bool Open(const QString& name) = 0;
  virtual void Release() = 0;
  // The frame at `Position`, full size.
  virtual QImage Decode() = 0;
  // FrameRate, FrameDuration and FrameDelay (clamped to 1..65535 ms) from a rate.
  void SetRate(double framesPerSecond);
};

// The three sources and the opening chain.
class TFrameSources {
 public:
  TFrameSources(std::unique_ptr<TFrameSource> vfw, std::unique_ptr<TFrameSource> ds,
                std::unique_ptr<TFrameSource> ffmpeg,
                std::function<QString(const QString&)> comment = nullptr);

  // The framework an opening starts with: from the extension (".avi" vfw;
  // ".mpg", ".mpeg", ".wmv" ds; ".mov" ffmpeg; else the previous one), then
  // ffmpeg when the file carries this program's comment.
  TFramework StartFramework(const QString& path, TFramework previous) const;
  // Opens with the chain (forward only) and returns the framework whose
  // source holds the file; check `Current().Opened`. An empty path closes.
  TFramework Open(const QString& path, TFramework previous);
  // Opens with one framework only (no chain).
  bool OpenWith(const QString& path, TFramework framework);
  TFrameSource& Source(TFramework f) { return *sources_[f]; }
  TFrameSource& Current() { return *sources_[current_]; }
  TFramework CurrentFramework() const { return current_; }
  bool HasSource(TFramework f) const { return sources_[f] != nullptr; }

 private:
  std::array<std::unique_ptr<TFrameSource>, 3> sources_;
  std::function<QString(const QString&)> comment_;
  TFramework current_ = fwVfw;
};

// Framework names as the tools write them ("vfw", "ds", "ffmpeg").
QString FrameworkName(TFramework f);
bool FrameworkFromName(const QString& name, TFramework& f);

}  // namespace mlb
