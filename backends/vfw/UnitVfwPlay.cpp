#include "backends/vfw/UnitVfwPlay.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <vector>

#include <QFile>

#include <jpeglib.h>

namespace mlb {

namespace {

constexpr std::uint32_t FourCC(const char (&s)[5]) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(s[0])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[3])) << 24;
}

struct Chunk {
  std::uint64_t offset;  // of the data
  std::uint32_t size;
};

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

void JpegExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}

void JpegSilent(j_common_ptr) {}

// Decodes one JPEG picture into img (RGB32, allocated here); false on error.
bool DecodeJpeg(const std::uint8_t* data, std::size_t size, QImage& img) {
  jpeg_decompress_struct cinfo;
  JpegError err;
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = JpegExit;
  err.mgr.output_message = JpegSilent;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_EXT_BGRX;  // QImage::Format_RGB32 in memory
  jpeg_start_decompress(&cinfo);
  img = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
               QImage::Format_RGB32);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = img.scanLine(static_cast<int>(cinfo.output_scanline));
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

}  // namespace

struct TVfwPlay::Impl {
  QFile file;
  const std::uint8_t* data = nullptr;  // the mapped file
  std::uint64_t size = 0;
  std::vector<Chunk> frames;
  // Format of the video stream.
  std::uint32_t compression = 0, handler = 0;
  int width = 0, height = 0, bits = 0;
  bool bottomUp = true;
  std::vector<QRgb> palette;
  std::array<std::uint32_t, 3> masks{};  // BI_BITFIELDS
  QImage last;                           // the last decoded frame (zero-length chunks repeat it)
  int lastIndex = -1;

  bool Has(std::uint64_t off, std::uint64_t n) const { return off <= size && n <= size - off; }
  std::uint32_t U32(std::uint64_t off) const {
    std::uint32_t v;
    std::memcpy(&v, data + off, 4);
    return v;
  }
  std::uint16_t U16(std::uint64_t off) const {
    std::uint16_t v;
    std::memcpy(&v, data + off, 2);
    return v;
  }
  std::uint64_t U64(std::uint64_t off) const {
    std::uint64_t v;
    std::memcpy(&v, data + off, 8);
    return v;
  }

  void Free() {
    if (data) file.unmap(const_cast<std::uint8_t*>(data));
    data = nullptr;
    file.close();
    frames.clear();
    palette.clear();
    last = QImage();
    lastIndex = -1;
  }

  QImage DecodeChunk(const Chunk& c) const {
    if (!Has(c.offset, c.size)) return QImage();
    const std::uint8_t* p = data + c.offset;
    if (compression == FourCC("MJPG") || compression == FourCC("mjpg") ||
        compression == FourCC("AVRn") || compression == FourCC("JPEG") ||
        compression == FourCC("jpeg")) {
      QImage img;
      if (!DecodeJpeg(p, c.size, img)) return QImage();
      return img;
    }
    if (compression != 0 && compression != 3) return QImage();
    const int bpp = bits;
    const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bpp + 31) / 32) * 4;
    if (c.size < stride * static_cast<std::uint64_t>(height)) return QImage();
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* row =
          p + stride * static_cast<std::uint64_t>(bottomUp ? height - 1 - y : y);
      QRgb* out = reinterpret_cast<QRgb*>(img.scanLine(y));
      for (int x = 0; x < width; ++x) {
        switch (bpp) {
          case 8: {
            const std::uint8_t i = row[x];
            out[x] = i < palette.size() ? palette[i] : qRgb(0, 0, 0);
            break;
          }
          case 16: {
            const std::uint16_t v = static_cast<std::uint16_t>(row[2 * x] | row[2 * x + 1] << 8);
            if (compression == 3 && masks[1] == 0x07E0)  // 565
              out[x] =
                  qRgb((v >> 11 & 31) * 255 / 31, (v >> 5 & 63) * 255 / 63, (v & 31) * 255 / 31);
            else  // 555
              out[x] =
                  qRgb((v >> 10 & 31) * 255 / 31, (v >> 5 & 31) * 255 / 31, (v & 31) * 255 / 31);
            break;
          }
          case 24:
            out[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
            break;
          case 32:
            out[x] = qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
            break;
          default:
            return QImage();
        }
      }
    }
    return img;
  }
};

TVfwPlay::TVfwPlay() : d_(std::make_unique<Impl>()) {}
TVfwPlay::~TVfwPlay() = default;

void TVfwPlay::Release() {
  d_->Free();
}

bool TVfwPlay::Open(const QString& name) {
  Impl& d = *d_;
  d.Free();
  d.file.setFileName(name);
  if (!d.file.open(QIODevice::ReadOnly) || d.file.size() < 12) return false;
  d.size = static_cast<std::uint64_t>(d.file.size());
  d.data = d.file.map(0, d.file.size());
  if (!d.data) return false;
  if (d.U32(0) != FourCC("RIFF") || d.U32(8) != FourCC("AVI ")) return false;

  int videoStream = -1, streamNo = 0;
  double rate = 0;
  std::uint64_t movi = 0, idx1 = 0, idx1Size = 0;
  std::vector<std::uint64_t> superIndexes;  // offsets of the video stream's 'indx' data
  // Walks the chunks of [begin, end); lists are entered except 'movi'.
  std::vector<std::pair<std::uint64_t, std::uint64_t>> todo{
      {12, std::min<std::uint64_t>(d.size, 8 + d.U32(4))}};
  // Further RIFF 'AVIX' pieces of OpenDML files hold only more 'movi' data.
  while (!todo.empty()) {
    auto [pos, end] = todo.back();
    todo.pop_back();
    while (pos + 8 <= end && d.Has(pos, 8)) {
      const std::uint32_t id = d.U32(pos), len = d.U32(pos + 4);
      const std::uint64_t body = pos + 8;
      if (!d.Has(body, 0)) break;
      const std::uint64_t next = body + len + (len & 1);
      if (id == FourCC("LIST") && d.Has(body, 4)) {
        const std::uint32_t type = d.U32(body);
        if (type == FourCC("movi")) {
          if (!movi) movi = body;  // the fourcc 'movi': idx1 offsets count from here
        } else {
          todo.push_back({next, end});
          end = std::min<std::uint64_t>(next, d.size);
          pos = body + 4;
          continue;
        }
      } else if (id == FourCC("strh") && d.Has(body, 56)) {
        if (d.U32(body) == FourCC("vids") && videoStream < 0) {
          videoStream = streamNo;
          d.handler = d.U32(body + 4);
          const std::uint32_t scale = d.U32(body + 20), r = d.U32(body + 24);
          if (scale < 1 || r < 1) return false;
          rate = static_cast<double>(r) / scale;
        }
        ++streamNo;
      } else if (id == FourCC("strf") && videoStream == streamNo - 1 && d.width == 0 &&
                 d.Has(body, 40)) {
        const std::uint32_t hdr = d.U32(body);
        d.width = static_cast<int>(d.U32(body + 4));
        const std::int32_t h = static_cast<std::int32_t>(d.U32(body + 8));
        d.bottomUp = h > 0;
        d.height = h > 0 ? h : -h;
        d.bits = d.U16(body + 14);
        d.compression = d.U32(body + 16);
        std::uint32_t colours = d.U32(body + 32);
        if (d.bits <= 8 && colours == 0) colours = 1u << d.bits;
        if (d.compression == 3 && d.Has(body + hdr, 12))
          for (int k = 0; k < 3; ++k)
            d.masks[static_cast<std::size_t>(k)] = d.U32(body + hdr + 4 * k);
        for (std::uint32_t c = 0;
             c < colours && c < 256 && d.Has(body + hdr + 4 * c, 4) && 4 * c + hdr < len; ++c) {
          const std::uint64_t q = body + hdr + 4 * c;
          d.palette.push_back(qRgb(d.data[q + 2], d.data[q + 1], d.data[q]));
        }
      } else if (id == FourCC("indx") && videoStream == streamNo - 1 && superIndexes.empty() &&
                 d.Has(body, 24)) {
        // OpenDML super index: entries of (offset, size, duration) of 'ix##' chunks.
        const std::uint16_t longs = d.U16(body);
        const std::uint8_t type = d.data[body + 3];
        const std::uint32_t entries = d.U32(body + 4);
        if (type == 0 && longs == 4)
          for (std::uint32_t e = 0; e < entries && d.Has(body + 24 + 16 * e, 16); ++e)
            superIndexes.push_back(d.U64(body + 24 + 16 * e));
      } else if (id == FourCC("idx1")) {
        idx1 = body;
        idx1Size = len;
      } else if (id == FourCC("RIFF") && d.Has(body, 4) && d.U32(body) == FourCC("AVIX")) {
        todo.push_back({next, end});
        end = std::min<std::uint64_t>(next, d.size);
        pos = body + 4;
        continue;
      }
      pos = next;
    }
  }
  if (videoStream < 0 || d.width <= 0 || d.height <= 0 || rate <= 0) return false;
  const char tens = static_cast<char>('0' + videoStream / 10),
             units = static_cast<char>('0' + videoStream % 10);
  auto isVideoChunk = [&](std::uint32_t id) {
    return (id & 0xFFFF) == static_cast<std::uint32_t>(static_cast<unsigned char>(tens) |
                                                       static_cast<unsigned char>(units) << 8) &&
           ((id >> 16) == ('d' | 'b' << 8) || (id >> 16) == ('d' | 'c' << 8));
  };

  if (!superIndexes.empty()) {
    for (std::uint64_t ix : superIndexes) {
      const std::uint64_t body = ix + 8;  // skip the chunk header of 'ix##'
      if (!d.Has(body, 24)) continue;
      const std::uint32_t entries = d.U32(body + 4);
      const std::uint64_t base = d.U64(body + 12);
      for (std::uint32_t e = 0; e < entries && d.Has(body + 24 + 8 * e, 8); ++e) {
        const std::uint32_t off = d.U32(body + 24 + 8 * e),
                            sz = d.U32(body + 28 + 8 * e) & 0x7FFFFFFF;
        d.frames.push_back({base + off, sz});
      }
    }
  } else if (idx1) {
    // Offsets count from the 'movi' fourcc, or from the start of the file.
    bool relative = true, decided = false;
    for (std::uint64_t e = 0; e + 16 <= idx1Size && d.Has(idx1 + e, 16); e += 16) {
      const std::uint32_t id = d.U32(idx1 + e), off = d.U32(idx1 + e + 8),
                          sz = d.U32(idx1 + e + 12);
      if (!isVideoChunk(id)) continue;
      if (!decided) {
        relative = d.Has(movi + off, 4) && d.U32(movi + off) == id;
        decided = true;
      }
      const std::uint64_t header = relative ? movi + off : off;
      d.frames.push_back({header + 8, sz});
    }
  } else if (movi) {
    // No index: the chunks of the 'movi' list in order.
    std::uint64_t pos = movi + 4;
    const std::uint64_t end = std::min<std::uint64_t>(d.size, movi - 4 + d.U32(movi - 4) + 4);
    while (pos + 8 <= end) {
      const std::uint32_t id = d.U32(pos), len = d.U32(pos + 4);
      if (id == FourCC("LIST")) {
        pos += 12;
        continue;
      }
      if (isVideoChunk(id)) d.frames.push_back({pos + 8, len});
      pos += 8 + len + (len & 1);
    }
  }
  // Chunks that lie beyond the end of a cut file are left out.
  while (!d.frames.empty() && !d.Has(d.frames.back().offset, d.frames.back().size))
    d.frames.pop_back();
  if (d.frames.empty()) return false;

  SetRate(rate);
  FrameCount = static_cast<int>(d.frames.size());
  FrameWidth = d.width;
  FrameHeight = d.height;
  Duration = FrameCount * FrameDuration;
  Position = 0;
  CurrentTime = 0;
  // A test draw: a codec this reader does not know leaves the file closed.
  return !Decode().isNull();
}

QImage TVfwPlay::Decode() {
  Impl& d = *d_;
  if (d.frames.empty()) return QImage();
  const int n = std::clamp(Position, 0, static_cast<int>(d.frames.size()) - 1);
  if (n == d.lastIndex) return d.last;
  // A zero-length chunk repeats the picture before it.
  int k = n;
  while (k > 0 && d.frames[static_cast<std::size_t>(k)].size == 0) --k;
  QImage img = d.DecodeChunk(d.frames[static_cast<std::size_t>(k)]);
  if (img.isNull()) return img;
  if (img.width() != d.width || img.height() != d.height) img = img.copy(0, 0, d.width, d.height);
  d.last = img;
  d.lastIndex = n;
  return img;
}

}  // namespace mlb
