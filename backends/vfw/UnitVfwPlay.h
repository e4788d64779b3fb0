// The AVI frame source: the program's own RIFF reader (idx1 and OpenDML
// indexes; uncompressed 8-bit palette, 16, 24 and 32-bit rows; Motion-JPEG
// through libjpeg-turbo). Any other codec leaves it closed so that the
// opening chain moves on.
#pragma once

#include <memory>

#include "video/UnitFrameSource.h"

namespace mlb {

class TVfwPlay : public TFrameSource {
 public:
  TVfwPlay();
  ~TVfwPlay() override;
  TFramework Framework() const override { return fwVfw; }

 protected:
  bool Open(const QString& name) override;
  void Release() override;
  QImage Decode() override;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace mlb
