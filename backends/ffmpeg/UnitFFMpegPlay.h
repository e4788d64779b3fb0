// The FFmpeg frame source: libavformat/libavcodec/libswscale addressed by
// frame index through a presentation-order frame table, with a bounded cache
// of decoded frames so that stepping back is as cheap as stepping forward.
#pragma once

#include <cstddef>
#include <memory>

#include <QString>

#include "video/UnitFrameSource.h"

namespace mlb {

class TFFMpegPlay : public TFrameSource {
 public:
  explicit TFFMpegPlay(std::size_t cacheBytes = std::size_t{256} << 20);
  ~TFFMpegPlay() override;

  TFramework Framework() const override { return fwFFMpeg; }
  // The decoding libraries are linked in: always available.
  static bool LoadCodecLibrary() { return true; }
  // The container's comment tag, empty when there is none or the file does
  // not open.
  static QString GetComment(const QString& fileName);

  // Bytes of decoded frames held (for tests and benchmarks).
  std::size_t CacheBytes() const;
  // Frames decoded since opening (a cache hit decodes nothing).
  long long DecodedFrames() const;

 protected:
  bool Open(const QString& name) override;
  void Release() override;
  QImage Decode() override;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
  std::size_t cacheLimit_;
};

}  // namespace mlb
