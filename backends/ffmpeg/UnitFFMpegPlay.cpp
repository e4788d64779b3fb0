#include "backends/ffmpeg/UnitFFMpegPlay.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <list>
#include <unordered_map>
#include <vector>

#include <QTransform>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace mlb {

namespace {

struct KeyFrame {
  int64_t pts;
  int64_t dts;
};

}  // namespace

struct TFFMpegPlay::Impl {
  AVFormatContext* fmt = nullptr;
  AVCodecContext* dec = nullptr;
  SwsContext* sws = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* pkt = nullptr;
  int stream = -1;
  int rotation = 0;                  // degrees clockwise to display upright
  std::vector<int64_t> pts;          // presentation order: frame n has pts[n]
  std::vector<KeyFrame> keys;        // sorted by pts
  int64_t lastPts = AV_NOPTS_VALUE;  // last frame the decoder delivered
  bool eof = false;
  // The palette of 8-bit video comes once, with the first packet; it is
  // handed to the decoder again after every seek.
  std::vector<uint8_t> palette;
  bool needPalette = false;
  // Streams whose packets carry no presentation times while frames are
  // reordered: frames are numbered as they come out of the decoder. A first
  // decoding pass learns the place of every key frame in presentation order;
  // after a seek, the count starts at the first key frame that comes out
  // (frames before it belong to the previous group and are left out).
  bool counting = false;
  bool awaitingKey = false;
  int64_t nextCount = 0;
  int64_t seekKey = 0;
  long long decoded = 0;
  // Cache of converted frames, least recently used at the front.
  std::list<int64_t> lru;
  std::unordered_map<int64_t, std::pair<QImage, std::list<int64_t>::iterator>> cache;
  std::size_t bytes = 0;
  // Pictures pushed out of the cache that nobody else holds: their buffers
  // take the next frames, which spares the page faults of fresh memory.
  std::vector<QImage> spare;

  ~Impl() { Free(); }

  void Free() {
    sws_freeContext(sws);
    sws = nullptr;
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avcodec_free_context(&dec);
    avformat_close_input(&fmt);
    pts.clear();
    keys.clear();
    palette.clear();
    needPalette = false;
    cache.clear();
    lru.clear();
    spare.clear();
    bytes = 0;
    lastPts = AV_NOPTS_VALUE;
    eof = false;
  }

  int IndexOf(int64_t ts) const {
    const auto it = std::lower_bound(pts.begin(), pts.end(), ts);
    return it != pts.end() && *it == ts ? static_cast<int>(it - pts.begin()) : -1;
  }

  void Store(int64_t ts, QImage img, std::size_t limit) {
    if (cache.count(ts)) return;
    bytes += static_cast<std::size_t>(img.sizeInBytes());
    lru.push_back(ts);
    cache.emplace(ts, std::make_pair(std::move(img), std::prev(lru.end())));
    while (bytes > limit && lru.size() > 1) {
      const auto old = cache.find(lru.front());
      bytes -= static_cast<std::size_t>(old->second.first.sizeInBytes());
      if (old->second.first.isDetached() && spare.size() < 4)
        spare.push_back(std::move(old->second.first));
      cache.erase(old);
      lru.pop_front();
    }
  }

  const QImage* Cached(int64_t ts) {
    const auto it = cache.find(ts);
    if (it == cache.end()) return nullptr;
    lru.splice(lru.end(), lru, it->second.second);  // most recently used
    return &it->second.first;
  }

  QImage Convert(const AVFrame* f) {
    const int w = f->width, h = f->height;
    sws = sws_getCachedContext(sws, w, h, static_cast<AVPixelFormat>(f->format), w, h,
                               AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr);
    if (!sws) return QImage();
    // Colour matrix and range of the stream; unmarked HD video is BT.709.
    int cs = f->colorspace;
    if (cs == AVCOL_SPC_UNSPECIFIED || cs == AVCOL_SPC_RESERVED)
      cs = h >= 720 ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
    const AVPixelFormat pf = static_cast<AVPixelFormat>(f->format);
    const bool fullRange = f->color_range == AVCOL_RANGE_JPEG || pf == AV_PIX_FMT_YUVJ420P ||
                           pf == AV_PIX_FMT_YUVJ422P || pf == AV_PIX_FMT_YUVJ444P;
    sws_setColorspaceDetails(sws, sws_getCoefficients(cs), fullRange ? 1 : 0,
                             sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
    // libswscale may write a little past the end of a line with its vector
    // code: each picture gets its own aligned buffer with room to spare,
    // owned by the image (no copy).
    const int stride = FFALIGN(w * 4, 64);
    QImage img;
    while (!spare.empty() && img.isNull()) {
      if (spare.back().width() == w && spare.back().height() == h &&
          spare.back().bytesPerLine() == stride)
        img = std::move(spare.back());
      spare.pop_back();
    }
    if (img.isNull()) {
      const std::size_t size = static_cast<std::size_t>(stride) * (h + 1) + 256;
      uint8_t* buf = static_cast<uint8_t*>(av_malloc(size));
      if (!buf) return QImage();
      img = QImage(
          buf, w, h, stride, QImage::Format_RGB32, [](void* p) { av_free(p); }, buf);
    }
    uint8_t* dst[4] = {img.bits(), nullptr, nullptr, nullptr};
    int strides[4] = {stride, 0, 0, 0};
    sws_scale(sws, f->data, f->linesize, 0, h, dst, strides);
    if (rotation != 0) img = img.transformed(QTransform().rotate(rotation));
    return img;
  }

  // Delivers the next decoded frame into `frame`; false at the end.
  bool NextFrame() {
    for (;;) {
      const int r = avcodec_receive_frame(dec, frame);
      if (r == 0) {
        ++decoded;
        return true;
      }
      if (r == AVERROR_EOF || (r != AVERROR(EAGAIN))) return false;
      if (eof) return false;
      for (;;) {
        const int rr = av_read_frame(fmt, pkt);
        if (rr < 0) {
          eof = true;
          avcodec_send_packet(dec, nullptr);  // drain
          break;
        }
        if (pkt->stream_index != stream) {
          av_packet_unref(pkt);
          continue;
        }
        if (needPalette && !palette.empty()) {
          if (uint8_t* side = av_packet_new_side_data(pkt, AV_PKT_DATA_PALETTE, palette.size()))
            std::copy(palette.begin(), palette.end(), side);
          needPalette = false;
        }
        avcodec_send_packet(dec, pkt);  // a damaged packet is skipped
        av_packet_unref(pkt);
        break;
      }
    }
  }

  static int64_t BestEffort(const AVFrame* f) {
    return f->best_effort_timestamp != AV_NOPTS_VALUE ? f->best_effort_timestamp : f->pts;
  }
  int64_t FrameTs(const AVFrame* f) {
    if (!counting) return BestEffort(f);
    if (awaitingKey) {
      if (!f->key_frame) return -1;
      awaitingKey = false;
      nextCount = seekKey;
    }
    return nextCount++;
  }

  // Decodes forward until the frame with timestamp `target` (or a later one)
  // was delivered; every frame of the table met on the way is cached.
  void DecodeUntil(int64_t target, std::size_t limit) {
    while (NextFrame()) {
      const int64_t ts = FrameTs(frame);
      lastPts = ts;
      if (IndexOf(ts) >= 0) Store(ts, Convert(frame), limit);
      av_frame_unref(frame);
      if (ts >= target) return;
    }
  }

  void SeekBefore(int64_t target) {
    // The last key frame at or before the target in presentation order.
    auto it = std::upper_bound(keys.begin(), keys.end(), target,
                               [](int64_t t, const KeyFrame& k) { return t < k.pts; });
    const KeyFrame* key =
        it == keys.begin() ? (keys.empty() ? nullptr : &keys.front()) : &*std::prev(it);
    int64_t ts = key ? key->dts : AV_NOPTS_VALUE;
    if (ts == AV_NOPTS_VALUE) ts = key ? key->pts : pts.front();
    av_seek_frame(fmt, stream, ts, AVSEEK_FLAG_BACKWARD);
    seekKey = key ? key->pts : 0;
    nextCount = seekKey;
    awaitingKey = counting && key != nullptr;
    avcodec_flush_buffers(dec);
    eof = false;
    lastPts = AV_NOPTS_VALUE;
    needPalette = true;
  }
};

TFFMpegPlay::TFFMpegPlay(std::size_t cacheBytes)
    : d_(std::make_unique<Impl>()), cacheLimit_(cacheBytes) {
  av_log_set_level(AV_LOG_QUIET);
}

TFFMpegPlay::~TFFMpegPlay() = default;

std::size_t TFFMpegPlay::CacheBytes() const {
  return d_->bytes;
}
long long TFFMpegPlay::DecodedFrames() const {
  return d_->decoded;
}

QString TFFMpegPlay::GetComment(const QString& fileName) {
  AVFormatContext* fmt = nullptr;
  if (avformat_open_input(&fmt, fileName.toUtf8().constData(), nullptr, nullptr) < 0)
    return QString();
  QString comment;
  if (const AVDictionaryEntry* e = av_dict_get(fmt->metadata, "comment", nullptr, 0))
    comment = QString::fromUtf8(e->value);
  avformat_close_input(&fmt);
  return comment;
}

void TFFMpegPlay::Release() {
  d_->Free();
}

bool TFFMpegPlay::Open(const QString& name) {
  Impl& d = *d_;
  d.Free();
  if (avformat_open_input(&d.fmt, name.toUtf8().constData(), nullptr, nullptr) < 0) return false;
  if (avformat_find_stream_info(d.fmt, nullptr) < 0) return false;
  const AVCodec* codec = nullptr;
  d.stream = av_find_best_stream(d.fmt, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
  if (d.stream < 0 || !codec) return false;
  AVStream* st = d.fmt->streams[d.stream];
  d.dec = avcodec_alloc_context3(codec);
  if (!d.dec || avcodec_parameters_to_context(d.dec, st->codecpar) < 0) return false;
  d.dec->thread_count = 0;  // as many as useful
  if (avcodec_open2(d.dec, codec, nullptr) < 0) return false;
  d.frame = av_frame_alloc();
  d.pkt = av_packet_alloc();
  if (!d.frame || !d.pkt) return false;

  // The frame table: one pass over the packets (no decoding). Packets without
  // a presentation time give their decoding time instead, which is the same
  // unless frames are reordered (B-frames): then the decoder must tell.
  const bool reorders = st->codecpar->video_delay > 0 || d.dec->has_b_frames > 0;
  bool complete = true;
  int64_t index = 0;  // decoding order
  std::vector<KeyFrame> countedKeys;
  while (av_read_frame(d.fmt, d.pkt) >= 0) {
    if (d.pkt->stream_index == d.stream && d.palette.empty()) {
      std::size_t size = 0;
      if (const uint8_t* pal = av_packet_get_side_data(d.pkt, AV_PKT_DATA_PALETTE, &size))
        d.palette.assign(pal, pal + size);
    }
    if (d.pkt->stream_index == d.stream && !(d.pkt->flags & AV_PKT_FLAG_DISCARD)) {
      const int64_t ts = d.pkt->pts != AV_NOPTS_VALUE ? d.pkt->pts : d.pkt->dts;
      if (ts == AV_NOPTS_VALUE || (d.pkt->pts == AV_NOPTS_VALUE && reorders)) complete = false;
      if (ts != AV_NOPTS_VALUE) {
        d.pts.push_back(ts);
        if (d.pkt->flags & AV_PKT_FLAG_KEY) d.keys.push_back({ts, d.pkt->dts});
      }
      if (d.pkt->flags & AV_PKT_FLAG_KEY)
        countedKeys.push_back({index, d.pkt->dts != AV_NOPTS_VALUE ? d.pkt->dts : d.pkt->pts});
      ++index;
    }
    av_packet_unref(d.pkt);
  }
  if (!complete) {
    // One decoding pass: the frames in presentation order and where the key
    // frames fall among them.
    d.counting = true;
    const int64_t first = countedKeys.empty() || countedKeys.front().dts == AV_NOPTS_VALUE
                              ? 0
                              : countedKeys.front().dts;
    if (av_seek_frame(d.fmt, d.stream, first, AVSEEK_FLAG_BACKWARD) < 0)
      av_seek_frame(d.fmt, -1, 0, AVSEEK_FLAG_BYTE);
    avcodec_flush_buffers(d.dec);
    d.eof = false;
    d.needPalette = true;
    int64_t shown = 0;
    std::vector<int64_t> keyPlaces;
    while (d.NextFrame()) {
      if (d.frame->key_frame) keyPlaces.push_back(shown);
      ++shown;
      av_frame_unref(d.frame);
    }
    d.pts.resize(static_cast<std::size_t>(shown));
    for (int64_t i = 0; i < shown; ++i) d.pts[static_cast<std::size_t>(i)] = i;
    d.keys.clear();
    if (keyPlaces.size() == countedKeys.size())
      for (std::size_t k = 0; k < keyPlaces.size(); ++k)
        d.keys.push_back({keyPlaces[k], countedKeys[k].dts});
    // Without a usable key table every frame is decoded from the start.
    if (d.keys.empty() || d.keys.front().pts != 0)
      d.keys.insert(d.keys.begin(),
                    KeyFrame{0, countedKeys.empty() ? AV_NOPTS_VALUE : countedKeys.front().dts});
  }
  std::sort(d.pts.begin(), d.pts.end());
  d.pts.erase(std::unique(d.pts.begin(), d.pts.end()), d.pts.end());
  std::sort(d.keys.begin(), d.keys.end(),
            [](const KeyFrame& a, const KeyFrame& b) { return a.pts < b.pts; });
  if (d.pts.empty()) return false;

  // Upright display of phone videos.
  if (const uint8_t* m = av_stream_get_side_data(st, AV_PKT_DATA_DISPLAYMATRIX, nullptr)) {
    const double theta = -av_display_rotation_get(reinterpret_cast<const int32_t*>(m));
    int r = static_cast<int>(std::lround(theta / 90.0)) * 90 % 360;
    if (r < 0) r += 360;
    d.rotation = r;
  }

  AVRational rate = st->avg_frame_rate;
  if (rate.num <= 0 || rate.den <= 0) rate = st->r_frame_rate;
  double fps = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 0;
  FrameCount = static_cast<int>(d.pts.size());
  Duration = d.fmt->duration > 0 ? d.fmt->duration / static_cast<double>(AV_TIME_BASE) : 0;
  if (!(std::abs(fps) >= 1e-100) && Duration > 0) fps = FrameCount / Duration;
  if (!(std::abs(fps) >= 1e-100)) return false;
  SetRate(fps);
  if (Duration <= 0) Duration = FrameCount * FrameDuration;
  const bool sideways = d.rotation == 90 || d.rotation == 270;
  FrameWidth = sideways ? d.dec->height : d.dec->width;
  FrameHeight = sideways ? d.dec->width : d.dec->height;
  if (FrameWidth <= 0 || FrameHeight <= 0) return false;
  Position = 0;
  CurrentTime = 0;
  // The first frame must decode, or the file is of no use.
  d.SeekBefore(d.pts.front());
  d.DecodeUntil(d.pts.front(), cacheLimit_);
  const QImage* first = d.Cached(d.pts.front());
  return first && !first->isNull();
}

QImage TFFMpegPlay::Decode() {
  Impl& d = *d_;
  if (!d.fmt || FrameCount <= 0) return QImage();
  const int n = std::clamp(Position, 0, FrameCount - 1);
  const int64_t target = d.pts[static_cast<std::size_t>(n)];
  if (const QImage* img = d.Cached(target)) return *img;
  // Forward from where the decoder stands when the frame is a little ahead;
  // otherwise from the key frame at or before it.
  const int at = d.lastPts == AV_NOPTS_VALUE ? -1 : d.IndexOf(d.lastPts);
  const bool ahead = at >= 0 && n > at && n - at <= 100;
  if (!ahead) d.SeekBefore(target);
  d.DecodeUntil(target, cacheLimit_);
  if (const QImage* img = d.Cached(target)) return *img;
  // A frame the decoder could not deliver: show the nearest earlier one.
  for (int k = n - 1; k >= 0 && k >= n - 50; --k)
    if (const QImage* img = d.Cached(d.pts[static_cast<std::size_t>(k)])) return *img;
  return QImage();
}

}  // namespace mlb
