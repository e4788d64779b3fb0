#include "backends/gstreamer/UnitDSPlay.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <list>
#include <unordered_map>
#include <vector>

#include <QFileInfo>
#include <QUrl>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

namespace mlb {

namespace {

constexpr int kRun = 8;                                      // frames decoded ahead of a step back
constexpr std::size_t kCacheBytes = std::size_t{128} << 20;  // frames kept for stepping back
constexpr GstClockTime kWait = 10 * GST_SECOND;              // longest wait for a state change

// Waits for the pipeline to settle; false on an error or a time-out.
// A local file that has not shown its first frame after this long is left to
// the next source of the chain (some fragmented MP4 files never do here).
constexpr GstClockTime kOpenWait = 3 * GST_SECOND;

bool Settle(GstElement* pipeline, GstClockTime wait = kWait) {
  GstState state;
  return gst_element_get_state(pipeline, &state, nullptr, wait) == GST_STATE_CHANGE_SUCCESS &&
         state == GST_STATE_PAUSED;
}

}  // namespace

struct TDSPlay::Impl {
  GstElement* pipeline = nullptr;
  GstElement* sink = nullptr;
  int decodedPosition = -1;
  QImage last;
  // Recently shown frames, least recently used first.
  std::list<int> lru;
  std::unordered_map<int, std::pair<QImage, std::list<int>::iterator>> cache;
  std::size_t bytes = 0;

  void Free() {
    if (pipeline) {
      gst_element_set_state(pipeline, GST_STATE_NULL);
      gst_object_unref(pipeline);
    }
    pipeline = nullptr;
    sink = nullptr;
    decodedPosition = -1;
    last = QImage();
    lru.clear();
    cache.clear();
    bytes = 0;
  }

  const QImage* Cached(int n) {
    const auto it = cache.find(n);
    if (it == cache.end()) return nullptr;
    lru.splice(lru.end(), lru, it->second.second);
    return &it->second.first;
  }

  // The frame just shown becomes frame n, and is kept.
  void Shown(int n, QImage img) {
    last = img;
    decodedPosition = img.isNull() ? -1 : n;
    if (img.isNull() || cache.count(n)) return;
    bytes += static_cast<std::size_t>(img.sizeInBytes());
    lru.push_back(n);
    cache.emplace(n, std::make_pair(std::move(img), std::prev(lru.end())));
    while (bytes > kCacheBytes && lru.size() > 1) {
      const auto old = cache.find(lru.front());
      bytes -= static_cast<std::size_t>(old->second.first.sizeInBytes());
      cache.erase(old);
      lru.pop_front();
    }
  }

  // Seeks a hair past the start of frame n (n x 1.0001 would drift a whole
  // frame after 10 000 frames) and shows it.
  bool SeekTo(int n, double frameDuration, double duration) {
    const double t = std::clamp((n + 0.001) * frameDuration, 0.0, duration);
    if (!gst_element_seek_simple(
            pipeline, GST_FORMAT_TIME,
            static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
            static_cast<gint64>(t * GST_SECOND)) ||
        !Settle(pipeline)) {
      decodedPosition = -1;
      return false;
    }
    Shown(n, Pull());
    return decodedPosition == n;
  }

  // One frame forward in the paused pipeline; false (nothing shown) when the
  // frame that comes is not frame n.
  bool StepTo(int n, double frameDuration) {
    // The sink prerolls the next frame and says so on the bus.
    GstBus* bus = gst_element_get_bus(pipeline);
    while (GstMessage* m = gst_bus_pop_filtered(
               bus, static_cast<GstMessageType>(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_STEP_DONE)))
      gst_message_unref(m);
    bool stepped = gst_element_send_event(
        pipeline, gst_event_new_step(GST_FORMAT_BUFFERS, 1, 1.0, TRUE, FALSE));
    if (stepped) {
      GstMessage* m = gst_bus_timed_pop_filtered(
          bus, kWait,
          static_cast<GstMessageType>(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_STEP_DONE |
                                      GST_MESSAGE_ERROR | GST_MESSAGE_EOS));
      stepped = m && (GST_MESSAGE_TYPE(m) == GST_MESSAGE_ASYNC_DONE ||
                      GST_MESSAGE_TYPE(m) == GST_MESSAGE_STEP_DONE);
      if (m) gst_message_unref(m);
    }
    gst_object_unref(bus);
    if (!stepped) {
      decodedPosition = -1;
      return false;
    }
    double at = -1;
    QImage img = Pull(&at);
    if (at < 0 || std::lround(at / frameDuration) != n) {
      decodedPosition = -1;
      return false;
    }
    Shown(n, std::move(img));
    return decodedPosition == n;
  }

  // Stream time of the prerolled frame (-1 when unknown).
  double PrerollTime() {
    GstSample* sample = gst_app_sink_try_pull_preroll(GST_APP_SINK(sink), kWait);
    if (!sample) return -1;
    const double t = StreamTime(sample);
    gst_sample_unref(sample);
    return t;
  }

  // Stream time of a sample's frame in seconds (-1 when unknown).
  static double StreamTime(GstSample* sample) {
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    const GstSegment* segment = gst_sample_get_segment(sample);
    if (!buffer || !segment || !GST_BUFFER_PTS_IS_VALID(buffer)) return -1;
    const guint64 st = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
    return st != GST_CLOCK_TIME_NONE ? static_cast<double>(st) / GST_SECOND : -1;
  }

  // A flushing, accurate seek in the paused pipeline.
  bool Seek(double seconds) {
    return gst_element_seek_simple(
               pipeline, GST_FORMAT_TIME,
               static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
               static_cast<gint64>(seconds * GST_SECOND)) &&
           Settle(pipeline);
  }

  // Plays from `from` seconds (as fast as the decoder goes) and returns the
  // stream times of at most `most` frames, up to the end of the file. The
  // first frame's time may be clipped to `from`; the others are the frames'
  // own. The pipeline is left paused.
  std::vector<double> PlayTimes(double from, int most) {
    std::vector<double> times;
    if (!Seek(from)) return times;
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    while (static_cast<int>(times.size()) < most) {
      GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), kWait);
      if (!sample) break;  // the end, or an error
      times.push_back(StreamTime(sample));
      gst_sample_unref(sample);
      if (times.back() < 0) break;
    }
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    if (!Settle(pipeline) || (!times.empty() && times.back() < 0)) times.clear();
    decodedPosition = -1;
    return times;
  }

  // The prerolled frame as an image; null when there is none.
  // The sample is taken once: `time` (when asked for) gets its stream time.
  QImage Pull(double* time = nullptr, GstClockTime wait = kWait) {
    GstSample* sample = gst_app_sink_try_pull_preroll(GST_APP_SINK(sink), wait);
    if (time) *time = sample ? StreamTime(sample) : -1;
    if (!sample) return QImage();
    QImage img;
    GstCaps* caps = gst_sample_get_caps(sample);
    GstVideoInfo info;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (caps && buffer && gst_video_info_from_caps(&info, caps) &&
        gst_buffer_map(buffer, &map, GST_MAP_READ)) {
      const int w = GST_VIDEO_INFO_WIDTH(&info), h = GST_VIDEO_INFO_HEIGHT(&info);
      const int stride = GST_VIDEO_INFO_PLANE_STRIDE(&info, 0);
      if (w > 0 && h > 0 && map.size >= static_cast<gsize>(stride) * static_cast<gsize>(h)) {
        img = QImage(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
          std::memcpy(img.scanLine(y), map.data + static_cast<std::ptrdiff_t>(y) * stride,
                      static_cast<std::size_t>(w) * 4);
      }
      gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(sample);
    return img;
  }
};

TDSPlay::TDSPlay() : d_(std::make_unique<Impl>()) {
  if (!gst_is_initialized()) gst_init(nullptr, nullptr);
}

TDSPlay::~TDSPlay() {
  d_->Free();
}

void TDSPlay::Release() {
  d_->Free();
}

bool TDSPlay::Open(const QString& name) {
  Impl& d = *d_;
  d.Free();
  if (!QFileInfo(name).isFile()) return false;
  const QByteArray uri = QUrl::fromLocalFile(QFileInfo(name).absoluteFilePath()).toEncoded();
  GError* error = nullptr;
  d.pipeline = gst_parse_launch(
      "uridecodebin name=src ! videoconvert ! videoflip video-direction=auto ! "
      "videoconvert ! video/x-raw,format=BGRx ! "
      "appsink name=sink sync=false max-buffers=1 drop=false",
      &error);
  if (error) g_error_free(error);
  if (!d.pipeline) return false;
  GstElement* src = gst_bin_get_by_name(GST_BIN(d.pipeline), "src");
  d.sink = gst_bin_get_by_name(GST_BIN(d.pipeline), "sink");
  if (!src || !d.sink) {
    if (src) gst_object_unref(src);
    return false;
  }
  g_object_set(src, "uri", uri.constData(), nullptr);
  gst_object_unref(src);
  gst_object_unref(d.sink);  // the bin keeps it alive
  gst_element_set_state(d.pipeline, GST_STATE_PAUSED);
  if (!Settle(d.pipeline, kOpenWait)) return false;

  // Size and rate from the negotiated caps; length from the pipeline.
  GstPad* pad = gst_element_get_static_pad(d.sink, "sink");
  GstCaps* caps = pad ? gst_pad_get_current_caps(pad) : nullptr;
  if (pad) gst_object_unref(pad);
  if (!caps) return false;
  GstVideoInfo info;
  const bool ok = gst_video_info_from_caps(&info, caps);
  gst_caps_unref(caps);
  if (!ok || GST_VIDEO_INFO_WIDTH(&info) <= 0 || GST_VIDEO_INFO_HEIGHT(&info) <= 0) return false;
  const double fps =
      GST_VIDEO_INFO_FPS_D(&info) > 0
          ? static_cast<double>(GST_VIDEO_INFO_FPS_N(&info)) / GST_VIDEO_INFO_FPS_D(&info)
          : 0;
  if (!(std::abs(fps) >= 1e-100)) return false;
  gint64 duration = 0;
  if (!gst_element_query_duration(d.pipeline, GST_FORMAT_TIME, &duration) || duration <= 0)
    return false;
  SetRate(fps);
  Duration = static_cast<double>(duration) / GST_SECOND;
  FrameCount = static_cast<int>(std::lround(Duration * FrameRate));
  FrameWidth = GST_VIDEO_INFO_WIDTH(&info);
  FrameHeight = GST_VIDEO_INFO_HEIGHT(&info);
  if (FrameCount <= 0) return false;
  Position = 0;
  CurrentTime = 0;
  d.last = d.Pull(nullptr, kOpenWait);  // the prerolled first frame
  d.decodedPosition = 0;
  if (d.last.isNull()) return false;
  // The source numbers frames by time on the grid of the caps' rate, so the
  // frames must follow that grid: some files announce a rate their frames do
  // not keep (a guessed 25 fps for ASF or for a phone's odd rate). The first
  // frames are played through and their times compared with the grid.
  const std::vector<double> head = d.PlayTimes(0, 16);
  if (head.empty()) return false;
  for (std::size_t k = 0; k < head.size(); ++k)
    if (std::abs(head[k] - head.front() - k * FrameDuration) > 0.25 * FrameDuration) return false;
  // The count from the duration can be a frame or two off: the last second
  // is played through and the time of the last frame tells.
  const std::vector<double> tail =
      d.PlayTimes(std::max(0.0, Duration - std::max(1.0, 4 * FrameDuration)), 1 << 16);
  if (tail.empty()) return false;
  FrameCount = static_cast<int>(std::lround((tail.back() - head.front()) / FrameDuration)) + 1;
  if (FrameCount <= 0) return false;
  Duration = std::max(Duration, FrameCount * FrameDuration);
  // Some demuxers (MPEG program streams) cannot seek to an exact frame: a
  // source that would show another frame than the one asked for refuses the
  // file, and the chain moves on to the FFmpeg source.
  // The middle and the last frame are tried.
  for (const int probe : {FrameCount / 2, FrameCount - 1}) {
    if (probe <= 0) continue;
    const double target = (probe + 0.001) * FrameDuration;
    if (!d.Seek(target)) return false;
    const double at = d.PrerollTime();
    if (at < 0 || std::abs(at - probe * FrameDuration) > 0.5 * FrameDuration) return false;
    d.decodedPosition = -1;
  }
  return true;
}

QImage TDSPlay::Decode() {
  Impl& d = *d_;
  if (!d.pipeline) return QImage();
  const int n = std::clamp(Position, 0, FrameCount - 1);
  if (n == d.decodedPosition && !d.last.isNull()) return d.last;
  if (const QImage* img = d.Cached(n)) return *img;
  // The next frame: one step of the paused pipeline, much cheaper than a seek.
  if (d.decodedPosition >= 0 && n == d.decodedPosition + 1 && d.StepTo(n, FrameDuration))
    return d.last;
  // A few frames back: from a little earlier, stepping forward, so that the
  // next steps back find their frames decoded.
  const int back = d.decodedPosition - n;
  const int from = back > 0 && back <= kRun ? std::max(0, n - kRun + 1) : n;
  if (!d.SeekTo(from, FrameDuration, Duration)) return QImage();
  for (int k = from + 1; k <= n; ++k)
    if (!d.StepTo(k, FrameDuration) && !d.SeekTo(k, FrameDuration, Duration)) return QImage();
  return d.decodedPosition == n ? d.last : QImage();
}

}  // namespace mlb
