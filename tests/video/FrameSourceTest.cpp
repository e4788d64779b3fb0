#include <random>

#include <QFile>
#include <QImage>
#include <QTextStream>
#include <QTransform>

#include <gtest/gtest.h>

#include "backends/ffmpeg/UnitFFMpegPlay.h"
#include "backends/gstreamer/UnitDSPlay.h"
#include "backends/vfw/UnitVfwPlay.h"
#include "video/UnitFrameSource.h"

// GLib and GStreamer keep a few allocations until the process ends; the leak
// checker of sanitizer builds is told so (unused in other builds).
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libgstreamer-1.0.so\n";
}

namespace mlb {
namespace {

QString VideoDir() {
  return qEnvironmentVariable("MOTILAB_TEST_VIDEOS");
}

struct Fixture {
  QString file;
  int frames, width, height;
};

std::vector<Fixture> Manifest() {
  std::vector<Fixture> list;
  QFile f(VideoDir() + QStringLiteral("/manifest.tsv"));
  if (!f.open(QIODevice::ReadOnly)) return list;
  QTextStream in(&f);
  while (!in.atEnd()) {
    const QStringList c = in.readLine().split(QLatin1Char('\t'));
    if (c.size() == 4) list.push_back({c[0], c[1].toInt(), c[2].toInt(), c[3].toInt()});
  }
  return list;
}

// The index a test frame shows: 10 blocks, bit k in block k.
int Pattern(const QImage& img) {
  int n = 0;
  for (int k = 0; k < 10; ++k) {
    const QRgb p = img.pixel((2 * k + 1) * img.width() / 20, img.height() / 2);
    if (qGray(p) > 128) n |= 1 << k;
  }
  return n;
}

int FrameAt(TFrameSource& s, int n) {
  s.SetPosition(n);
  const QImage img = s.CurrentFrame();
  return img.isNull() ? -1 : Pattern(img);
}

TEST(FFMpegSource, EveryFixtureGivesTheFrameAskedFor) {
  const auto fixtures = Manifest();
  ASSERT_FALSE(fixtures.empty()) << "no test videos in " << VideoDir().toStdString();
  std::mt19937 rng(11);
  for (const Fixture& fx : fixtures) {
    SCOPED_TRACE(fx.file.toStdString());
    TFFMpegPlay s;
    s.SetFileName(VideoDir() + QLatin1Char('/') + fx.file);
    ASSERT_TRUE(s.Opened);
    EXPECT_EQ(s.FrameCount, fx.frames);
    EXPECT_EQ(s.FrameWidth, fx.width);
    EXPECT_EQ(s.FrameHeight, fx.height);
    EXPECT_GT(s.FrameRate, 0);
    const bool vfr = fx.file.contains(QLatin1String("vfr"));
    // Sequential: the index itself, or (variable rate) increasing indexes.
    std::vector<int> seq;
    for (int n = 0; n < s.FrameCount; ++n) seq.push_back(FrameAt(s, n));
    for (int n = 0; n < s.FrameCount; ++n) {
      if (vfr) {
        if (n > 0) {
          EXPECT_GT(seq[n], seq[n - 1]) << n;
        }
      } else {
        EXPECT_EQ(seq[n], n) << n;
      }
    }
    // Random jumps and backward steps agree with the sequential pass.
    TFFMpegPlay r(std::size_t{4} << 20);  // a small cache: real seeking
    r.SetFileName(VideoDir() + QLatin1Char('/') + fx.file);
    std::uniform_int_distribution<int> any(0, r.FrameCount - 1);
    for (int i = 0; i < 12; ++i) {
      const int n = any(rng);
      EXPECT_EQ(FrameAt(r, n), seq[n]) << "jump to " << n;
    }
    for (int n = r.FrameCount - 1; n >= std::max(0, r.FrameCount - 8); --n)
      EXPECT_EQ(FrameAt(r, n), seq[n]) << "back to " << n;
    EXPECT_LE(r.CacheBytes(), (std::size_t{4} << 20) + std::size_t(fx.width) * fx.height * 4);
  }
}

// The AVI reader opens the uncompressed and Motion-JPEG files, and leaves
// every other codec to the next source of the chain.
TEST(VfwSource, ReadsItsCodecsAndRefusesTheOthers) {
  for (const Fixture& fx : Manifest()) {
    SCOPED_TRACE(fx.file.toStdString());
    TVfwPlay s;
    s.SetFileName(VideoDir() + QLatin1Char('/') + fx.file);
    const bool mine =
        fx.file.startsWith(QLatin1String("avi_")) && !fx.file.contains(QLatin1String("mpeg4"));
    ASSERT_EQ(s.Opened, mine);
    if (!mine) continue;
    EXPECT_EQ(s.FrameCount, fx.frames);
    EXPECT_EQ(s.FrameWidth, fx.width);
    EXPECT_EQ(s.FrameHeight, fx.height);
    EXPECT_EQ(s.FrameDelay, 40);
    for (int n : {0, 1, fx.frames / 2, fx.frames - 1, 3, 2}) EXPECT_EQ(FrameAt(s, n), n) << n;
  }
  for (const char* name : {"broken_text.avi", "mp4_h264.mp4"}) {
    TVfwPlay s;
    s.SetFileName(VideoDir() + QLatin1Char('/') + QLatin1String(name));
    EXPECT_FALSE(s.Opened) << name;
  }
  TVfwPlay t;  // half a file: the frames whose chunks are whole
  t.SetFileName(VideoDir() + QStringLiteral("/broken_truncated.avi"));
  if (t.Opened)
    for (int n = 0; n < t.FrameCount; ++n) FrameAt(t, n);
}

// GStreamer: exact frames and the exact count where it claims a file; the
// files it cannot seek exactly (MPEG program streams) or whose frames leave
// the grid of the announced rate (variable rate) are refused so that the
// chain moves on.
TEST(DSSource, ExactFramesOrRefusal) {
  struct Case {
    const char* file;
    bool claims;
  };
  for (const Case& c :
       {Case{"mp4_h264.mp4", true}, Case{"mov_mjpeg.mov", true}, Case{"avi_mjpeg.avi", true},
        Case{"mpg_mpeg2.mpg", false}, Case{"mp4_vfr.mp4", false}, Case{"broken_text.avi", false}}) {
    SCOPED_TRACE(c.file);
    TDSPlay s;
    s.SetFileName(VideoDir() + QLatin1Char('/') + QLatin1String(c.file));
    ASSERT_EQ(s.Opened, c.claims);
    if (!c.claims) continue;
    for (const Fixture& fx : Manifest())
      if (fx.file == QLatin1String(c.file)) EXPECT_EQ(s.FrameCount, fx.frames);
    // Steps forward, jumps, and steps back over more frames than one backward run.
    for (int n : {0, 1, 2, 3, s.FrameCount / 2, s.FrameCount - 1, 20, 19, 18, 17, 16, 15, 14, 13,
                  12, 11, 10, 11, 12})
      EXPECT_EQ(FrameAt(s, n), n) << n;
  }
}

// A video stored on its side with a rotation in its metadata is shown upright
// by both sources that read such files: the size is swapped, and turning the
// picture back by a quarter turn gives the stored frame.
TEST(RotatedVideo, BothSourcesShowItUpright) {
  TFFMpegPlay ff;
  TDSPlay ds;
  for (TFrameSource* s : std::initializer_list<TFrameSource*>{&ff, &ds}) {
    SCOPED_TRACE(int(s->Framework()));
    s->SetFileName(VideoDir() + QStringLiteral("/mp4_rotated.mp4"));
    ASSERT_TRUE(s->Opened);
    EXPECT_EQ(s->FrameWidth, 240);
    EXPECT_EQ(s->FrameHeight, 320);
    for (int n : {0, 5, 19}) {
      s->SetPosition(n);
      EXPECT_EQ(Pattern(s->CurrentFrame().transformed(QTransform().rotate(90))), n) << n;
    }
  }
}

TEST(FFMpegSource, BrokenFilesFailCleanly) {
  for (const char* name : {"broken_text.avi", "no_such_file.avi"}) {
    TFFMpegPlay s;
    s.SetFileName(VideoDir() + QLatin1Char('/') + QLatin1String(name));
    EXPECT_FALSE(s.Opened) << name;
    EXPECT_EQ(s.FrameCount, 0) << name;
    EXPECT_TRUE(s.CurrentFrame().isNull());
  }
  // Half a file: whatever opens must decode without crashing.
  TFFMpegPlay t;
  t.SetFileName(VideoDir() + QStringLiteral("/broken_truncated.avi"));
  if (t.Opened)
    for (int n = 0; n < t.FrameCount; ++n) FrameAt(t, n);
}

TEST(FFMpegSource, PositionIsClampedAndCommentIsRead) {
  TFFMpegPlay s;
  s.SetFileName(VideoDir() + QStringLiteral("/avi_mjpeg.avi"));
  ASSERT_TRUE(s.Opened);
  s.SetPosition(-5);
  EXPECT_EQ(s.Position, 0);
  s.SetPosition(s.FrameCount + 3);
  EXPECT_EQ(s.Position, s.FrameCount - 1);
  EXPECT_EQ(s.FrameDelay, 40);
  EXPECT_EQ(TFFMpegPlay::GetComment(VideoDir() + QStringLiteral("/comment_mpeg4.avi")),
            QLatin1String(kFFMpegComment));
  // Stretching a part of the frame, and inverted colours.
  QImage target(100, 50, QImage::Format_RGB32);
  s.SetPosition(1);  // block 0 white, the rest black
  ASSERT_TRUE(s.DrawFrame(target, QRect(0, 0, 32, 240)));
  EXPECT_GT(qGray(target.pixel(50, 25)), 200);
  ASSERT_TRUE(s.DrawFrame(target, QRect(0, 0, 32, 240), true));
  EXPECT_LT(qGray(target.pixel(50, 25)), 50);
}

// A source that opens what it is told to, recording the attempts.
class FakeSource : public TFrameSource {
 public:
  FakeSource(TFramework f, bool accepts, std::vector<TFramework>& log)
      : f_(f), accepts_(accepts), log_(log) {}
  TFramework Framework() const override { return f_; }
  using TFrameSource::SetRate;

 protected:
  bool Open(const QString&) override {
    log_.push_back(f_);
    if (!accepts_) return false;
    FrameCount = 10;
    return true;
  }
  void Release() override {}
  QImage Decode() override { return QImage(4, 4, QImage::Format_RGB32); }

 private:
  TFramework f_;
  bool accepts_;
  std::vector<TFramework>& log_;
};

TEST(FrameSources, ChainByExtensionAndComment) {
  std::vector<TFramework> log;
  QString comment;
  TFrameSources set(std::make_unique<FakeSource>(fwVfw, false, log),
                    std::make_unique<FakeSource>(fwDS, false, log),
                    std::make_unique<FakeSource>(fwFFMpeg, true, log),
                    [&](const QString&) { return comment; });
  // An .mp4 after an .avi goes through all three; after a .mov, FFmpeg only.
  EXPECT_EQ(set.Open(QStringLiteral("a.mp4"), fwVfw), fwFFMpeg);
  EXPECT_EQ(log, (std::vector<TFramework>{fwVfw, fwDS, fwFFMpeg}));
  log.clear();
  EXPECT_EQ(set.StartFramework(QStringLiteral("b.MOV"), fwVfw), fwFFMpeg);
  EXPECT_EQ(set.Open(QStringLiteral("c.mp4"), fwFFMpeg), fwFFMpeg);
  EXPECT_EQ(log, (std::vector<TFramework>{fwFFMpeg}));
  EXPECT_EQ(set.StartFramework(QStringLiteral("d.WMV"), fwFFMpeg), fwDS);
  EXPECT_EQ(set.StartFramework(QStringLiteral("e.mpeg"), fwVfw), fwDS);
  // The program's own comment sends even an .avi to FFmpeg.
  comment = QStringLiteral("motilab VIDEO ffmpeg mpeg4 CODEC");
  EXPECT_EQ(set.StartFramework(QStringLiteral("f.avi"), fwVfw), fwFFMpeg);
  // An empty name closes everything.
  set.Open(QString(), fwVfw);
  EXPECT_FALSE(set.Source(fwFFMpeg).Opened);
}

TEST(FrameSources, FrameDelayIsClamped) {
  std::vector<TFramework> log;
  FakeSource s(fwVfw, true, log);
  s.SetRate(25);
  EXPECT_EQ(s.FrameDelay, 40);
  s.SetRate(0.001);  // 1000 s per frame
  EXPECT_EQ(s.FrameDelay, 65535);
  s.SetRate(5000);
  EXPECT_EQ(s.FrameDelay, 1);
}

}  // namespace
}  // namespace mlb
