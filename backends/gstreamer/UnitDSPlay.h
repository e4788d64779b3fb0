// The GStreamer frame source (the system media framework): uridecodebin ->
// videoconvert -> appsink, frame n fetched with a flushing accurate seek to
// (n + 0.001) frame durations.
#pragma once

#include <memory>

#include "video/UnitFrameSource.h"

namespace mlb {

class TDSPlay : public TFrameSource {
 public:
  TDSPlay();
  ~TDSPlay() override;
  TFramework Framework() const override { return fwDS; }

 protected:
  bool Open(const QString& name) override;
  void Release() override;
  QImage Decode() override;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace mlb
